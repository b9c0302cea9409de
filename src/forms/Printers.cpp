#include "forms/Printers.h"

#include "forms/Bridge_p.h"
#include "forms/DeviceWait.h"
#include "forms/PrintSystem_p.h"
#include "forms/Printer.h"

#include "platform/Errors.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace forms {

namespace {

// How often the window thread looks whether the service's answer has arrived.
constexpr int AnswerPollMs = 20;
// How long after a question the service left unanswered it is asked again. The
// question itself gave the service seconds (ServiceSilenceMs), so a service that
// hangs is asked no more than every few seconds.
constexpr int AskAgainAfterMs = 1000;

struct PrinterList {
    std::vector<PrinterInfo> printers;
    std::string defaultName;
    // Why the system's printers are not in the list (Ready when they are).
    printsystem::QueueStatus service;
    // False while the system's printers have not been learnt yet.
    bool learnt = true;

    // The desktop's default printer is known: the service gave its printers, or
    // there is no service, not one that stayed silent.
    bool knowsDefault() const { return learnt && service.state != printsystem::QueueState::NoAnswer; }
};

std::optional<PrinterList>& injected()
{
    static std::optional<PrinterList> list;
    return list;
}

bool printersTurnedOff()
{
    const char* none = std::getenv("TEVORA_NO_PRINTERS");
    return none && *none;
}

std::optional<PrinterList>& systemListSlot()
{
    static std::optional<PrinterList> list;
    return list;
}

// The program's PDF printer, then the system's printers as last learnt: until
// they are, the PDF printer alone.
PrinterList& systemList()
{
    auto& list = systemListSlot();
    if (!list) {
        list.emplace();
        if (!printersTurnedOff()) {
            list->printers.push_back({PdfPrinterName});
            list->learnt = false;
        }
    }
    return *list;
}

const PrinterList& currentList()
{
    return injected() ? *injected() : systemList();
}

std::vector<std::weak_ptr<std::function<void()>>>& followers()
{
    static std::vector<std::weak_ptr<std::function<void()>>> list;
    return list;
}

void tellFollowers()
{
    auto& list = followers();
    list.erase(std::remove_if(list.begin(), list.end(), [](const auto& follower) { return follower.expired(); }),
               list.end());
    // A follower may add or drop followers.
    const auto present = list;
    for (const auto& follower : present) {
        if (const auto changed = follower.lock())
            (*changed)();
    }
}

// The question about the system's printers that is being answered, if any.
std::optional<printsystem::QueueListQuestion>& question()
{
    static std::optional<printsystem::QueueListQuestion> asked;
    return asked;
}

void askForPrinters();

QPointer<QTimer>& askAgainTimer()
{
    static QPointer<QTimer> timer;
    return timer;
}

// Asks the service again a moment after it left a question unanswered, unless
// the printers are known or being asked for by then.
void askAgainLater()
{
    auto& timer = askAgainTimer();
    if (!timer) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setSingleShot(true);
        timer->setInterval(AskAgainAfterMs);
        QObject::connect(timer, &QTimer::timeout, [] {
            if (!question() && !systemList().knowsDefault())
                askForPrinters();
        });
    }
    timer->start();
}

// Takes the system's printers once the question has ended.
void takeAnswer()
{
    auto& asked = question();
    if (!asked || !asked->ended())
        return;
    const printsystem::QueueList queues = asked->list();
    asked.reset();
    PrinterList list;
    list.printers.push_back({PdfPrinterName});
    for (const std::string& name : queues.names) {
        if (name != PdfPrinterName)
            list.printers.push_back({name});
    }
    list.defaultName = queues.defaultName;
    list.service = queues.status;
    systemList() = std::move(list);
    if (!systemList().knowsDefault() && onWindowThread())
        askAgainLater();
    if (injected())
        return;
    if (systemList().service.state == printsystem::QueueState::Ready)
        defaultPrinterArrived();
    tellFollowers();
}

// Looks for the answer on the window thread while one is awaited; the followers
// take it as an event of their own.
QTimer* answerPoll()
{
    static QPointer<QTimer> timer;
    if (!timer) {
        timer = new QTimer(QCoreApplication::instance());
        timer->setInterval(AnswerPollMs);
        QObject::connect(timer, &QTimer::timeout, [] {
            if (question() && question()->ended())
                runGuarded(takeAnswer);
            if (!question())
                timer->stop();
        });
    }
    return timer;
}

// Waits until the question being answered has ended, if any, and takes its answer.
void waitForAnswer()
{
    waitForDevice([] { return !question() || question()->ended(); }, AnswerPollMs);
    takeAnswer();
}

// Asks the service for its printers: in the background on the window thread,
// else waiting for the answer (no window paints there).
void askForPrinters()
{
    if (printersTurnedOff())
        return;
    question().emplace();
    if (onWindowThread())
        answerPoll()->start();
    else
        waitForAnswer();
}

} // namespace

int PrinterCollection::count() const
{
    return static_cast<int>(all().size());
}

const PrinterInfo& PrinterCollection::item(int index) const
{
    const auto& list = all();
    if (index < 0 || index >= static_cast<int>(list.size()))
        throw platform::RuntimeError(9, "インデックスが有効範囲にありません。");
    return list[static_cast<size_t>(index)];
}

const std::vector<PrinterInfo>& PrinterCollection::all() const
{
    return currentList().printers;
}

std::string PrinterCollection::defaultDeviceName() const
{
    const PrinterList& list = currentList();
    const auto holds = [&list](const std::string& name) {
        return std::any_of(list.printers.begin(), list.printers.end(),
                           [&name](const PrinterInfo& info) { return info.deviceName == name; });
    };
    if (!list.defaultName.empty() && holds(list.defaultName))
        return list.defaultName;
    return list.printers.empty() ? std::string() : list.printers.front().deviceName;
}

std::string PrinterCollection::whyNotListed(const std::string& deviceName) const
{
    const PrinterList& list = currentList();
    if (!list.learnt)
        return std::string();
    for (const PrinterInfo& info : list.printers) {
        if (info.deviceName == deviceName)
            return std::string();
    }
    if (list.service.state != printsystem::QueueState::Ready)
        return printsystem::reasonText(list.service);
    return printsystem::reasonText({printsystem::QueueState::Missing, std::string()});
}

bool PrinterCollection::knowsDefault() const
{
    return currentList().knowsDefault();
}

PrinterCollection& Printers()
{
    static PrinterCollection collection;
    return collection;
}

void refreshPrinters()
{
    if (!injected())
        askForPrinters();
}

void learnPrinters()
{
    if (!injected() && !question() && !systemList().knowsDefault())
        askForPrinters();
}

bool waitForDefaultPrinter()
{
    if (Printers().knowsDefault())
        return true;
    if (!question())
        askForPrinters();
    waitForAnswer();
    return Printers().knowsDefault();
}

PrinterListFollower::PrinterListFollower(std::function<void()> changed)
    : m_changed(std::make_shared<std::function<void()>>(std::move(changed)))
{
    followers().push_back(m_changed);
}

void setPrinterList(const std::vector<std::string>& deviceNames)
{
    PrinterList list;
    for (const std::string& name : deviceNames)
        list.printers.push_back({name});
    injected() = std::move(list);
    tellFollowers();
}

void resetPrinterList()
{
    injected().reset();
    question().reset();
    if (askAgainTimer())
        askAgainTimer()->stop();
    systemListSlot().reset();
    printsystem::forgetSilence();
    tellFollowers();
}

} // namespace forms
