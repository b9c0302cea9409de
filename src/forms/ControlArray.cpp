#include "forms/ControlArray.h"

#include "forms/Form.h"

#include "platform/Errors.h"

#include <algorithm>
#include <string>

namespace forms {

namespace {

// The highest index a control array element may have; the windows keep
// element indexes in 16-bit integers, as the key codes and tables do.
constexpr int MaxIndex = 32767;

[[noreturn]] void missing(const std::string& name, int index)
{
    throw platform::RuntimeError(platform::err::ArrayElementMissing,
                                 "コントロール配列の要素 '" + std::to_string(index) + "' は存在しません。 ("
                                     + name + ")");
}

} // namespace

ControlArrayBase::ControlArrayBase(Form& form, std::string name) : m_form(form), m_name(std::move(name))
{
    m_form.registerArray(this);
}

ControlArrayBase::~ControlArrayBase()
{
    m_form.unregisterArray(this);
    // Elements go before the array's handlers they forward to.
    m_slots.clear();
}

void ControlArrayBase::checkIndex(int index)
{
    if (index < 0 || index > MaxIndex)
        throw platform::RuntimeError(platform::err::ArrayElementMissing,
                                     "コントロール配列の要素 '" + std::to_string(index) + "' は存在しません。");
}

Control* ControlArrayBase::slot(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_slots.size()))
        return nullptr;
    return m_slots[static_cast<size_t>(index)].get();
}

void ControlArrayBase::addDesignElement(int index)
{
    checkIndex(index);
    if (slot(index))
        throw platform::RuntimeError(platform::err::ArrayElementLoaded,
                                     "オブジェクトは既に読み込まれています。 (" + m_name + ")");
    if (index >= static_cast<int>(m_slots.size())) {
        m_slots.resize(static_cast<size_t>(index) + 1);
        m_design.resize(static_cast<size_t>(index) + 1, false);
    }
    std::unique_ptr<Control> element = createElement();
    element->setIndex(index, this);
    bindEvents(*element, index);
    m_slots[static_cast<size_t>(index)] = std::move(element);
    m_design[static_cast<size_t>(index)] = true;
    ++m_loaded;
}

bool ControlArrayBase::exists(int index) const
{
    return slot(index) != nullptr;
}

bool ControlArrayBase::isDesignElement(int index) const
{
    return index >= 0 && index < static_cast<int>(m_design.size()) && m_design[static_cast<size_t>(index)];
}

int ControlArrayBase::lBound() const
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i])
            return static_cast<int>(i);
    }
    return 0;
}

int ControlArrayBase::uBound() const
{
    for (size_t i = m_slots.size(); i > 0; --i) {
        if (m_slots[i - 1])
            return static_cast<int>(i - 1);
    }
    return -1;
}

int ControlArrayBase::count() const
{
    return m_loaded;
}

std::vector<int> ControlArrayBase::indexes() const
{
    std::vector<int> result;
    result.reserve(static_cast<size_t>(m_loaded));
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i])
            result.push_back(static_cast<int>(i));
    }
    return result;
}

Control& ControlArrayBase::elementAt(int index) const
{
    Control* element = slot(index);
    if (!element)
        missing(m_name, index);
    if (!isDesignElement(index))
        element->touch();
    return *element;
}

void ControlArrayBase::load(int index)
{
    m_form.load();
    checkIndex(index);
    if (slot(index))
        throw platform::RuntimeError(platform::err::ArrayElementLoaded,
                                     "オブジェクトは既に読み込まれています。 (" + m_name + "("
                                         + std::to_string(index) + "))");
    const Control* lowest = slot(lBound());
    std::unique_ptr<Control> element = createElement();
    element->setIndex(index, this);
    bindEvents(*element, index);
    if (index >= static_cast<int>(m_slots.size())) {
        // Grow geometrically, so loading elements one after another stays cheap.
        const size_t wanted = static_cast<size_t>(index) + 1;
        m_slots.reserve(std::max(wanted, m_slots.size() * 2));
        m_slots.resize(wanted);
        m_design.resize(wanted, false);
    }
    Control* raw = element.get();
    m_slots[static_cast<size_t>(index)] = std::move(element);
    ++m_loaded;
    if (m_form.isLoaded()) {
        // A new element starts as a copy of the lowest one, hidden.
        raw->attach(lowest && lowest->m_attached ? lowest : nullptr, true);
        m_form.tabOrderChanged();
    }
}

void ControlArrayBase::unload(int index)
{
    m_form.load();
    if (!slot(index))
        missing(m_name, index);
    if (isDesignElement(index))
        throw platform::RuntimeError(platform::err::ArrayElementUnload,
                                     "デザイン時に作成されたコントロールはアンロードできません。 (" + m_name + "("
                                         + std::to_string(index) + "))");
    std::unique_ptr<Control> element = std::move(m_slots[static_cast<size_t>(index)]);
    --m_loaded;
    element->detach(true);
    element.reset();
}

void ControlArrayBase::unloadRange(int first, int last)
{
    m_form.load();
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(m_slots.size()) - 1);
    for (int index = first; index <= last; ++index) {
        if (slot(index) && isDesignElement(index))
            throw platform::RuntimeError(platform::err::ArrayElementUnload,
                                         "デザイン時に作成されたコントロールはアンロードできません。 (" + m_name
                                             + "(" + std::to_string(index) + "))");
    }
    for (int index = first; index <= last; ++index) {
        if (!slot(index))
            continue;
        std::unique_ptr<Control> element = std::move(m_slots[static_cast<size_t>(index)]);
        --m_loaded;
        element->detach(true);
    }
}

void ControlArrayBase::destroyRuntimeElements()
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i] && !m_design[i]) {
            std::unique_ptr<Control> element = std::move(m_slots[i]);
            --m_loaded;
            element->detach(true);
        }
    }
}

} // namespace forms
