#pragma once
// Control arrays: Name(Index) with design-time elements declared by the window
// and run-time elements added by Load and removed by Unload.
//
//     forms::ControlArray<forms::CommandButton> Command2{*this, "Command2", {0, 1, 2}};
//     Command2.onClick = [this](int index) { Command2_Click(index); };
//     Command2.load(3);            // copies element 0's properties, Visible False
//     Command2[3].setCaption("x");
//     Command2.unload(3);
//
// Indexes may have gaps and may start above 0. Errors are RuntimeErrors whose
// numbers the windows test for: 340 for a missing element, 360 for loading an
// existing one, 362 for unloading a design-time element.

#include "forms/Control.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace forms {

class Form;

class ControlArrayBase {
public:
    ControlArrayBase(Form& form, std::string name);
    virtual ~ControlArrayBase();
    ControlArrayBase(const ControlArrayBase&) = delete;
    ControlArrayBase& operator=(const ControlArrayBase&) = delete;

    const std::string& name() const { return m_name; }
    Form& form() const { return m_form; }

    bool exists(int index) const;
    // The lowest and highest loaded index; an array always keeps at least one
    // design-time element.
    int lBound() const;
    int uBound() const;
    int count() const;
    // The loaded indexes in ascending order.
    std::vector<int> indexes() const;
    bool isDesignElement(int index) const;

    void load(int index);
    void unload(int index);
    // Unloads every loaded run-time element in [first, last] in one call; a
    // design-time element in the range raises 362 before anything is unloaded.
    void unloadRange(int first, int last);

    Control& elementAt(int index) const;

protected:
    // Creates a detached element object of the array's class.
    virtual std::unique_ptr<Control> createElement() = 0;
    // Binds the element's plain handlers to the array's indexed handlers.
    virtual void bindEvents(Control& element, int index) = 0;
    void addDesignElement(int index);

    Control* slot(int index) const;

private:
    friend class Form;
    // The window unloads: run-time elements go, design-time elements stay.
    void destroyRuntimeElements();
    static void checkIndex(int index);

    Form& m_form;
    std::string m_name;
    std::vector<std::unique_ptr<Control>> m_slots;
    std::vector<bool> m_design;
    int m_loaded = 0;
};

namespace detail {
// Makes an element's plain handler call the array's indexed handler with the
// element's index. The array outlives its elements and never moves.
struct ForwardToIndexed {
    int index;
    template <class... A>
    void operator()(Handler<A...>& plain, const IndexedHandler<A...>& indexed) const
    {
        const IndexedHandler<A...>* target = &indexed;
        const int i = index;
        plain = [target, i](A... args) {
            if (*target)
                (*target)(i, std::forward<A>(args)...);
        };
    }
};
} // namespace detail

template <class T>
class ControlArray : public ControlArrayBase,
                     public ControlEvents<IndexedHandler>,
                     public T::template ExtraEvents<IndexedHandler> {
public:
    using Element = T;

    // parent is what a single T is constructed with: the window or a container
    // control (frame, picture box), or a menu for menu items.
    template <class Parent>
    ControlArray(Parent& parent, std::string name, std::initializer_list<int> designIndexes)
        : ControlArrayBase(parent.form(), name),
          m_factory([&parent, name]() { return std::unique_ptr<Control>(new T(parent, name)); })
    {
        for (int index : designIndexes)
            addDesignElement(index);
    }

    // The element at index; a missing one raises 340.
    T& operator[](int index) const { return static_cast<T&>(elementAt(index)); }

    // Calls f(T&) for every loaded element in ascending index order.
    template <class F>
    void forEach(F&& f) const
    {
        for (int index : indexes())
            f(static_cast<T&>(elementAt(index)));
    }

protected:
    std::unique_ptr<Control> createElement() override { return m_factory(); }

    void bindEvents(Control& element, int index) override
    {
        T& typed = static_cast<T&>(element);
        detail::ForwardToIndexed forward{index};
        ControlEvents<Handler>::pairEvents(typed, static_cast<const ControlEvents<IndexedHandler>&>(*this),
                                           forward);
        using Plain = typename T::template ExtraEvents<Handler>;
        using Indexed = typename T::template ExtraEvents<IndexedHandler>;
        Plain::pairEvents(typed, static_cast<const Indexed&>(*this), forward);
    }

private:
    std::function<std::unique_ptr<Control>()> m_factory;
};

} // namespace forms
