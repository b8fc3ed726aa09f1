#include "support/Recording.h"

namespace hm52 {

namespace {

using namespace Qt::Literals::StringLiterals;

// The next scripted answer, or `none` counted as unanswered when the script has run out.
template <class T> T take(std::deque<T>& script, const T& none, int& unanswered) {
    if (script.empty()) {
        ++unanswered;
        return none;
    }
    T next = script.front();
    script.pop_front();
    return next;
}

} // namespace

Answer RecordingDialogs::message(QWidget* /*parent*/, const QString& text, Icon icon,
                                 Buttons buttons, const QString& title, std::optional<Keys> keys) {
    static const char* const names[] = {"OK", "Cancel", "Yes", "No"};
    const Answer none = buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
    const Answer a = buttons == Buttons::Ok ? Answer::Ok : take(answers_, none, unanswered);
    shown.push_back({ShownBox::Message, text, titleShown(title), icon, buttons,
                     keys.value_or(usualKeys(buttons)), QLatin1String(names[static_cast<int>(a)])});
    return a;
}

QString RecordingDialogs::input(QWidget* /*parent*/, const QString& prompt, const QString& title) {
    const QString typed = take(inputs_, QString(), unanswered);
    shown.push_back({ShownBox::Input, prompt, titleShown(title), Icon::None, Buttons::OkCancel,
                     usualKeys(Buttons::OkCancel), typed});
    return typed;
}

QStringList RecordingDialogs::texts() const {
    QStringList list;
    for (const ShownBox& box : shown) {
        list << box.text;
    }
    return list;
}

void RecordingDialogs::clear() {
    shown.clear();
    answers_.clear();
    inputs_.clear();
    unanswered = 0;
}

QString RecordingFileDialogs::openPath(QWidget* /*parent*/, const QString& /*caption*/,
                                       const QString& filter) {
    asked.push_back({false, {}, filter});
    return take(answers_, QString(), unanswered);
}

QString RecordingFileDialogs::savePath(QWidget* /*parent*/, const QString& /*caption*/,
                                       const QString& suggested, const QString& filter) {
    asked.push_back({true, suggested, filter});
    return take(answers_, QString(), unanswered);
}

namespace {

class RecordingPrinter final : public PrinterOps {
public:
    RecordingPrinter(RecordedJob& job, const QString& failWith) : job_(job), failWith_(failWith) {}

    void setFontName(const QString& name) override { job_.ops << u"name "_s + name; }
    void setFontSize(double points) override { job_.ops << u"size "_s + QString::number(points); }
    void setBold(bool on) override { job_.ops << (on ? u"bold on"_s : u"bold off"_s); }
    void print(const QString& text) override {
        job_.ops << u"print"_s;
        job_.lines << text;
    }
    void print(const QString& a, const QString& b, const QString& c) override {
        job_.ops << u"print3"_s;
        job_.lines << a + b + c;
    }
    void endDoc() override {
        job_.ops << u"end"_s;
        if (!failWith_.isEmpty()) {
            throw PrintError(failWith_);
        }
        job_.ended = true;
    }

private:
    RecordedJob& job_; // a deque's element: it stays put while later jobs are added
    const QString& failWith_;
};

} // namespace

PrinterFactory RecordingPrinters::factory() {
    return [this]() -> std::unique_ptr<PrinterOps> {
        return std::make_unique<RecordingPrinter>(jobs.emplace_back(), failWith);
    };
}

DocumentFactory RecordingPrinters::documents() {
    return [this](const DocumentTarget& target) -> std::unique_ptr<PrinterOps> {
        RecordedJob& job = jobs.emplace_back();
        job.target = target.kind == DocumentTarget::Kind::Preview ? u"preview "_s + target.title
                                                                  : u"pdf "_s + target.path;
        return std::make_unique<RecordingPrinter>(job, failWith);
    };
}

} // namespace hm52
