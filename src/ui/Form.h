#pragma once

#include <QDialog>
#include <QFont>
#include <QWidget>

#include <functional>
#include <tuple>

class QCloseEvent;

namespace hm52 {

struct Services;
class Windows;

// Runs one handler of a window. A failure of the engine or of the printer shows its own
// text in a box and ends the handler; the program keeps running.
void runHandler(Services& s, QWidget* parent, const std::function<void()>& handler);

namespace detail {
// The parameters of a member function or of a lambda's call operator, as a tuple type.
template <class F> struct ParamsOf : ParamsOf<decltype(&F::operator())> {};
template <class C, class R, class... A> struct ParamsOf<R (C::*)(A...)> {
    using type = std::tuple<A...>;
};
template <class C, class R, class... A> struct ParamsOf<R (C::*)(A...) const> {
    using type = std::tuple<A...>;
};
} // namespace detail

// What every window of the program shares, whatever Qt class it is: the services and the
// registry, its load and unload handlers, and the one way its handlers are connected.
//
// A handler is connected with on(): every run of it, by the operator or by a change made from
// code, goes through runHandler(), so an engine failure shows its box with this window as its
// parent and the program goes on. The close box runs Form_Unload() and unloads the window:
// the registry forgets it and the next showing loads a new one. Hiding (Exit, OK) keeps it.
class WindowContract {
public:
    WindowContract(const WindowContract&) = delete;
    WindowContract& operator=(const WindowContract&) = delete;
    virtual ~WindowContract() = default;

    // Runs once after construction, before the window is first shown.
    virtual void Form_Load() {}

    // The window itself.
    QWidget& widget() { return self_; }
    // Told once when the close box unloads the window, before it is deleted.
    void whenUnloaded(std::function<void()> told) { unloaded_ = std::move(told); }

protected:
    WindowContract(QWidget& self, Services& services, Windows& windows)
        : s(services), registry(windows), self_(self) {}

    virtual void Form_Unload() {}

    // Connects `signal` of `sender` to `handler`: a member function of this window (taking
    // the signal's first arguments, or none) or a lambda, run through runHandler() while this
    // window lives.
    template <class Sender, class Signal, class Handler>
    QMetaObject::Connection on(Sender* sender, Signal signal, Handler handler) {
        return connectGuarded(sender, signal, handler,
                              static_cast<typename detail::ParamsOf<Handler>::type*>(nullptr));
    }

    // Runs one step through runHandler(): for the handlers of Qt's events (a show, a key),
    // which no signal connects, and for a step whose failure must not stop the rest.
    void guarded(const std::function<void()>& step) { runHandler(s, &self_, step); }

    // The close box: Form_Unload(), then the window goes. For the classes' closeEvent().
    void unloadOnClose(QCloseEvent* event);

    Services& s;
    Windows& registry;

private:
    template <class Sender, class Signal, class Owner, class R, class... A>
    QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, R (Owner::*handler)(A...),
                                           std::tuple<A...>*) {
        auto* owner = static_cast<Owner*>(this);
        return QObject::connect(sender, signal, &self_, [this, owner, handler](A... args) {
            runHandler(s, &self_, [&]() { (owner->*handler)(args...); });
        });
    }
    template <class Sender, class Signal, class Call, class... A>
    QMetaObject::Connection connectGuarded(Sender* sender, Signal signal, Call call,
                                           std::tuple<A...>*) {
        return QObject::connect(sender, signal, &self_, [this, call](A... args) {
            runHandler(s, &self_, [&]() { call(args...); });
        });
    }

    QWidget& self_;
    std::function<void()> unloaded_;
    bool unloading_ = false;
};

// A window of the program.
class Form : public QWidget, public WindowContract {
    Q_OBJECT
public:
    Form(Services& services, Windows& windows);

protected:
    void closeEvent(QCloseEvent* event) override;
};

// A window of the program that is a dialog: Enter presses its default button, Esc rejects it
// (hides it, keeping it loaded); it may be shown modal.
class FormDialog : public QDialog, public WindowContract {
    Q_OBJECT
public:
    FormDialog(Services& services, Windows& windows);

protected:
    void closeEvent(QCloseEvent* event) override;
};

// Twips, the unit of the window layouts, to pixels at 96 dots per inch.
constexpr int tw(int twips) {
    return (twips + 7) / 15;
}

// Creates a control with its name, at a place and size given in twips.
template <class W>
W* placeTw(QWidget* parent, const QString& name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(name);
    w->setGeometry(tw(left), tw(top), tw(width), tw(height));
    return w;
}

// The windows' own font (MS Sans Serif 8.25 pt, or the system's sans serif in its place) and
// the fixed-pitch font of the lists of columns and their headers (Courier New 8.25 pt).
QFont windowFont();
QFont listFont();

} // namespace hm52
