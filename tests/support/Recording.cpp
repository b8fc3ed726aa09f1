#include "support/Recording.h"

namespace hm52 {

QString answerName(Answer a) {
    switch (a) {
    case Answer::Ok:
        return QStringLiteral("OK");
    case Answer::Cancel:
        return QStringLiteral("Cancel");
    case Answer::Yes:
        return QStringLiteral("Yes");
    case Answer::No:
        return QStringLiteral("No");
    }
    return {};
}

Answer RecordingDialogs::message(QWidget* /*parent*/, const QString& text, Icon icon,
                                 Buttons buttons, const QString& title) {
    Answer a = Answer::Ok;
    if (buttons != Buttons::Ok) {
        if (answers_.empty()) {
            ++unanswered;
            a = buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
        } else {
            a = answers_.front();
            answers_.pop_front();
        }
    }
    shown.push_back({ShownBox::Message, text, titleShown(title), icon, buttons, answerName(a)});
    return a;
}

QString RecordingDialogs::input(QWidget* /*parent*/, const QString& prompt, const QString& title) {
    QString typed;
    if (inputs_.empty()) {
        ++unanswered;
    } else {
        typed = inputs_.front();
        inputs_.pop_front();
    }
    shown.push_back(
        {ShownBox::Input, prompt, titleShown(title), Icon::None, Buttons::OkCancel, typed});
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

QString RecordingFileDialogs::next() {
    if (answers_.empty()) {
        ++unanswered;
        return {};
    }
    QString path = answers_.front();
    answers_.pop_front();
    return path;
}

QString RecordingFileDialogs::openPath(QWidget* /*parent*/, const QString& caption,
                                       const QString& filter) {
    asked.push_back({false, caption, {}, filter});
    return next();
}

QString RecordingFileDialogs::savePath(QWidget* /*parent*/, const QString& caption,
                                       const QString& suggested, const QString& filter) {
    asked.push_back({true, caption, suggested, filter});
    return next();
}

QStringList RecordedJob::texts() const {
    QStringList list;
    for (const PrintedLine& line : lines) {
        list << line.text;
    }
    return list;
}

namespace {

class RecordingPrinter final : public PrinterOps {
public:
    RecordingPrinter(RecordingPrinters& owner, size_t job) : owner_(owner), job_(job) {}

    void setFontName(const QString& name) override {
        name_ = name;
        job().ops.push_back({PrinterOp::FontName, {name}, 0.0, false});
    }
    void setFontSize(double points) override {
        size_ = points;
        job().ops.push_back({PrinterOp::FontSize, {}, points, false});
    }
    void setBold(bool on) override {
        bold_ = on;
        job().ops.push_back({PrinterOp::Bold, {}, 0.0, on});
    }
    void print(const QString& text) override {
        job().ops.push_back({PrinterOp::PrintOne, {text}, 0.0, false});
        job().lines.push_back({text, name_, size_, bold_});
    }
    void print(const QString& a, const QString& b, const QString& c) override {
        job().ops.push_back({PrinterOp::PrintThree, {a, b, c}, 0.0, false});
        job().lines.push_back({a + b + c, name_, size_, bold_});
    }
    void endDoc() override {
        job().ops.push_back({PrinterOp::EndDoc, {}, 0.0, false});
        if (!owner_.failWith.isEmpty()) {
            throw PrintError(owner_.failWith);
        }
        job().ended = true;
    }

private:
    RecordedJob& job() { return owner_.jobs.at(job_); }

    RecordingPrinters& owner_;
    size_t job_;
    QString name_;
    double size_ = 0.0;
    bool bold_ = false;
};

} // namespace

PrinterFactory RecordingPrinters::factory() {
    return [this]() -> std::unique_ptr<PrinterOps> {
        jobs.emplace_back();
        return std::make_unique<RecordingPrinter>(*this, jobs.size() - 1);
    };
}

} // namespace hm52
