#include "browser/frmUtility.h"

#include "browser/ListOrder.h"
#include "browser/LogList.h"
#include "qso/frmEditQSO.h"
#include "storage/Codes.h"
#include "storage/QuoteSql.h"
#include "storage/RadioTable.h"
#include "ui/ColumnCaption.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>

namespace hm52 {

frmUtility::frmUtility(Services& services, Windows& reg) : Form(services, reg) {
    setObjectName(QStringLiteral("frmUtility"));
    setWindowTitle(QStringLiteral("Utility QSO"));
    setFixedSize(tw(12150), tw(7410));
    setFont(windowFont());

    Frame3 = placeTw<QGroupBox>(this, "Frame3", 120, 120, 11895, 5775);
    Frame3->setFont(listFont());
    Frame3->setTitle(logline::header());

    List = placeTw<LogListView>(Frame3, "List", 120, 240, 11655, 5310);
    List->setFont(listFont());
    alignCaptionOverLines(Frame3, List);
    lines_ = new LogLinesModel([this](qint32 key) { return lineOf(key); }, List);
    List->setModel(lines_);
    on(List, &LogListView::mouseDown, &frmUtility::List_MouseDown);
    on(List, &LogListView::dblClick, &frmUtility::List_DblClick);

    Frame1 = placeTw<QGroupBox>(this, "Frame1", 120, 6000, 1575, 1335);
    Frame1->setTitle(QStringLiteral("Order by:"));
    optCall = placeTw<QRadioButton>(Frame1, "optCall", 120, 240, 1335, 255);
    optCall->setText(QStringLiteral("Call"));
    optPlace = placeTw<QRadioButton>(Frame1, "optPlace", 120, 480, 1335, 255);
    optPlace->setText(QStringLiteral("Place"));
    optWWLocator = placeTw<QRadioButton>(Frame1, "optWWLocator", 120, 720, 1335, 255);
    optWWLocator->setText(QStringLiteral("WWLocator"));
    optBand = placeTw<QRadioButton>(Frame1, "optBand", 120, 960, 1335, 255);
    optBand->setText(QStringLiteral("Band"));

    frame2nd = placeTw<QGroupBox>(this, "frame2nd", 1800, 6000, 1575, 855);
    frame2nd->setTitle(QStringLiteral("And:"));
    optBand2 = placeTw<QRadioButton>(frame2nd, "optBand2", 120, 240, 1335, 255);
    optBand2->setText(QStringLiteral("Band"));
    optMode2 = placeTw<QRadioButton>(frame2nd, "optMode2", 120, 480, 1335, 255);
    optMode2->setText(QStringLiteral("Mode"));

    Frame2 = placeTw<QGroupBox>(this, "Frame2", 6120, 6000, 5895, 735);
    Frame2->setTitle(QStringLiteral("Search for:"));
    cmdCall = placeTw<QPushButton>(Frame2, "cmdCall", 120, 240, 1335, 375);
    cmdCall->setText(QStringLiteral("Call"));
    cmdPlace = placeTw<QPushButton>(Frame2, "cmdPlace", 1560, 240, 1335, 375);
    cmdPlace->setText(QStringLiteral("Place"));
    cmdWWLocator = placeTw<QPushButton>(Frame2, "cmdWWLocator", 3000, 240, 1335, 375);
    cmdWWLocator->setText(QStringLiteral("WWlocator"));
    cmdShowAny = placeTw<QPushButton>(Frame2, "cmdShowAny", 4440, 240, 1335, 375);
    cmdShowAny->setText(QStringLiteral("Show any QSO"));

    cmdDeleteQSO = placeTw<QPushButton>(this, "cmdDeleteQSO", 6240, 6840, 1335, 375);
    cmdDeleteQSO->setText(QStringLiteral("Delete QSO"));
    QFont bold = cmdDeleteQSO->font();
    bold.setBold(true);
    cmdDeleteQSO->setFont(bold);
    cmdDeleteQSO->setToolTip(QStringLiteral("delete selected QSO "));
    cmdEditQSO = placeTw<QPushButton>(this, "cmdEditQSO", 7680, 6840, 1335, 375);
    cmdEditQSO->setText(QStringLiteral("Edit QSO"));
    cmdEditQSO->setToolTip(QStringLiteral("edit selected QSO "));
    cmdExit = placeTw<QPushButton>(this, "cmdExit", 10560, 6840, 1335, 375);
    cmdExit->setText(QStringLiteral("Exit"));

    // The list's right-click menu; it belongs to no menu bar.
    mnPopup = new QMenu(QStringLiteral("Popup"), this);
    mnPopup->setObjectName(QStringLiteral("mnPopup"));
    mnEditQSO = mnPopup->addAction(QStringLiteral("&Edit QSO"));
    mnEditQSO->setObjectName(QStringLiteral("mnEditQSO"));
    mnDeleteQSO = mnPopup->addAction(QStringLiteral("&Delete QSO"));
    mnDeleteQSO->setObjectName(QStringLiteral("mnDeleteQSO"));

    on(cmdCall, &QPushButton::clicked, &frmUtility::cmdCall_Click);
    on(cmdPlace, &QPushButton::clicked, &frmUtility::cmdPlace_Click);
    on(cmdWWLocator, &QPushButton::clicked, &frmUtility::cmdWWLocator_Click);
    on(cmdShowAny, &QPushButton::clicked, &frmUtility::cmdShowAny_Click);
    on(cmdDeleteQSO, &QPushButton::clicked, &frmUtility::cmdDeleteQSO_Click);
    on(cmdEditQSO, &QPushButton::clicked, &frmUtility::cmdEditQSO_Click);
    on(cmdExit, &QPushButton::clicked, &frmUtility::cmdExit_Click);
    on(mnEditQSO, &QAction::triggered, &frmUtility::mnEditQSO_Click);
    on(mnDeleteQSO, &QAction::triggered, &frmUtility::mnDeleteQSO_Click);

    connectOption(optCall, &frmUtility::optCall_Click);
    connectOption(optPlace, &frmUtility::optPlace_Click);
    connectOption(optWWLocator, &frmUtility::optWWLocator_Click);
    connectOption(optBand, &frmUtility::optBand_Click);
    connectOption(optBand2, &frmUtility::optBand2_Click);
    connectOption(optMode2, &frmUtility::optMode2_Click);
}

frmUtility::~frmUtility() = default;

void frmUtility::connectOption(QRadioButton* option, void (frmUtility::*handler)()) {
    // An option's click handler runs when it becomes the selected one, by mouse, keyboard
    // or code.
    on(option, &QRadioButton::toggled, [this, handler](bool selected) {
        if (selected) {
            (this->*handler)();
        }
    });
}

BrowserTerms& frmUtility::terms() {
    return registry.browserTerms();
}

void frmUtility::Form_Load() {
    // Order by call, then band and mode: select optCall and optBand2 and list once.
    {
        const QSignalBlocker blockCall(optCall);
        const QSignalBlocker blockBand2(optBand2);
        optCall->setChecked(true);
        optBand2->setChecked(true);
    }
    enableSecondKeys(true);
    showAny();
}

// ---------------------------------------------------------------------------------------
// Listing

int frmUtility::selectedLine() const {
    return List->selectedLine();
}
int frmUtility::lineCount() const {
    const_cast<frmUtility*>(this)->listIfAsked();
    return lines_->rowCount();
}
QString frmUtility::lineText(int line) const {
    const_cast<frmUtility*>(this)->listIfAsked();
    return lines_->line(line);
}
const std::vector<qint32>& frmUtility::lineKeys() {
    listIfAsked();
    return lineKeys_;
}

QString frmUtility::listingSql() const {
    // Main key K.
    QString k;
    if (optCall->isChecked()) {
        k = QStringLiteral("call");
    } else if (optPlace->isChecked()) {
        k = QStringLiteral("place");
    } else if (optWWLocator->isChecked()) {
        k = QStringLiteral("WWLocator");
    } else {
        k = QStringLiteral("band");
    }
    const bool byBand = k == QLatin1String("band");

    // Second keys S, only while "And:" is usable.
    QString second;
    if (frame2nd->isEnabledTo(this)) {
        if (optBand2->isChecked()) {
            second = QStringLiteral(", Band, Mode");
        } else if (optMode2->isChecked()) {
            second = QStringLiteral(", Mode, Band");
        }
    }

    const BrowserTerms& t = registry.browserTerms();
    const QString orderBy = QStringLiteral(" order by ");
    if (!t.searchCall.isEmpty()) {
        return QStringLiteral("select * from data where call = '") + t.searchCall + u'\'' +
               orderBy + k +
               (byBand ? QStringLiteral(" , mode, WWLocator,prov asc;")
                       : second + QStringLiteral(", prov asc;"));
    }
    if (!t.searchLocator.isEmpty()) {
        return QStringLiteral("select * from data where WWLocator = '") + t.searchLocator + u'\'' +
               orderBy + k +
               (byBand ? QStringLiteral(", mode, WWLocator, prov asc;")
                       : second + QStringLiteral(", prov asc;"));
    }
    if (!t.searchPlace.isEmpty() && !t.searchProv.isEmpty()) {
        return QStringLiteral("select * from data where place = '") + t.searchPlace +
               QStringLiteral("' and prov ='") + t.searchProv + u'\'' + orderBy + k +
               (byBand ? QStringLiteral(", mode, prov asc;")
                       : second + QStringLiteral(", prov asc;"));
    }
    if (!t.searchProv.isEmpty()) {
        return QStringLiteral("select * from data where prov ='") + t.searchProv + u'\'' + orderBy +
               k +
               (byBand ? QStringLiteral(", mode, WWLocator, prov asc;")
                       : QStringLiteral(", mode, band,prov asc;"));
    }
    if (!t.searchPlace.isEmpty()) {
        return QStringLiteral("select * from data where place = '") + t.searchPlace + u'\'' +
               orderBy + k +
               (byBand ? QStringLiteral(", mode, WWLocator, prov asc;")
                       : QStringLiteral(", mode, band,prov asc;"));
    }
    return QStringLiteral("select * from data") + orderBy + k +
           (byBand ? QStringLiteral(", mode, WWLocator, prov asc;")
                   : second + QStringLiteral(", prov asc;"));
}

void frmUtility::showAny() {
    if (!isVisible()) {
        asked_ = true;
        return;
    }
    list(listingSql());
}

void frmUtility::showEvent(QShowEvent* event) {
    Form::showEvent(event);
    guarded([this]() { listIfAsked(); });
}

void frmUtility::listIfAsked() {
    if (asked_) {
        asked_ = false;
        list(listingSql());
    }
}

void frmUtility::list(const QString& sql) {
    Module1& m = s.m;
    const qint64 rowsInLog =
        std::max<qint64>(0, m.contatore(QStringLiteral("select count(*) as contatore from data")));
    if (followChanges(sql, rowsInLog)) {
        return;
    }
    // The new keys are read aside and replace the list and lineKeys together, so a failing
    // query leaves the list as it was. The listing reads only the QSOs' numbers, in the
    // listing's order; the lines are made as they are shown.
    std::vector<qint32> keys(static_cast<size_t>(rowsInLog) + 1, 0);
    Recordset& rs = m.openSharedKeys(sql);
    size_t read = 0;
    rs.readKeys(keys, read);
    const int rows = static_cast<int>(read);
    keys.resize(std::max(keys.size(), read + 1), 0);
    lineKeys_ = std::move(keys);
    listed_ = rows;
    listedSql_ = sql;
    listedSerial_ = m.logDb.changeSerial();
    listedVersion_ = m.logDb.dataVersion();
    listedGeneration_ = m.logDb.generation();
    const BrowserTerms& t = terms();
    const bool wholeLog = t.searchCall.isEmpty() && t.searchLocator.isEmpty() &&
                          t.searchPlace.isEmpty() && t.searchProv.isEmpty();
    // A listing of the whole log in the order of an index can follow later changes line by
    // line; a search lists few lines, and lists them again faster than it would follow them.
    order_ = wholeLog && rows > 256 ? ListOrder::study(m.logDb, rs) : nullptr;
    lines_->assign(&lineKeys_, listed_);
}

bool frmUtility::followChanges(const QString& sql, qint64 rowsInLog) {
    Module1& m = s.m;
    std::vector<qint64> changed;
    if (!order_ || sql != listedSql_ || listedGeneration_ != m.logDb.generation() ||
        !m.logDb.changedSince(listedSerial_, changed) || changed.size() > 16 ||
        m.logDb.dataVersion() != listedVersion_) {
        return false;
    }
    std::sort(changed.begin(), changed.end());
    changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
    std::vector<qint32>& keys = lineKeys_;
    auto end = keys.begin() + listed_;
    for (const qint64 changedKey : changed) {
        const auto key = static_cast<qint32>(changedKey);
        // Its line goes, and comes back where the listing's order puts it now.
        const auto at = std::find(keys.begin(), end, key);
        if (at != end) {
            keys.erase(at);
            --listed_;
        }
        end = keys.begin() + listed_;
        if (order_->exists(key)) {
            const auto place = std::partition_point(keys.begin(), end, [this, key](qint32 listed) {
                return order_->before(listed, key);
            });
            keys.insert(place, key);
            ++listed_;
        }
        end = keys.begin() + listed_;
    }
    keys.resize(std::max<size_t>(static_cast<size_t>(rowsInLog) + 1, static_cast<size_t>(listed_)),
                0);
    listedSerial_ = m.logDb.changeSerial();
    lines_->assign(&lineKeys_, listed_);
    return true;
}

QString frmUtility::lineOf(qint32 key) {
    Database& db = s.m.logDb;
    QString line(logline::length, u' ');
    try {
        if (!lineRow_ || lineGeneration_ != db.generation()) {
            lineRow_ = std::make_unique<Recordset>(
                db, QStringLiteral("select * from data where count = :key"));
            formatter_ = std::make_unique<logline::Formatter>(*lineRow_);
            lineGeneration_ = db.generation();
        }
        lineRow_->bind(":key", key);
        if (!lineRow_->eof()) {
            formatter_->write(*lineRow_, line.data());
        }
        lineRow_->finish();
    } catch (const DbError&) {
        // A line that cannot be read shows blank; the failure is told when the log is next
        // listed or changed.
        lineRow_.reset();
    }
    return line;
}

// ---------------------------------------------------------------------------------------
// Search buttons

void frmUtility::cmdCall_Click() {
    const QString answer = QuoteSql(s.dialogs.input(this, QStringLiteral("insert call:")));
    if (answer.isEmpty()) {
        return;
    }
    terms() = BrowserTerms{answer, {}, {}, {}};
    showAny();
}

void frmUtility::cmdWWLocator_Click() {
    const QString answer = QuoteSql(
        s.dialogs.input(this, QStringLiteral("insert WWLocator (just the last two characters):")));
    if (answer.isEmpty()) {
        return;
    }
    terms() = BrowserTerms{{}, answer, {}, {}};
    showAny();
}

void frmUtility::cmdPlace_Click() {
    const QString place = QuoteSql(s.dialogs.input(this, QStringLiteral("insert place:")));
    const QString prov = QuoteSql(s.dialogs.input(this, QStringLiteral("insert prov:")));
    terms() = BrowserTerms{{}, {}, place, prov};
    showAny();
}

void frmUtility::cmdShowAny_Click() {
    terms() = BrowserTerms{};
    // Asked for by the operator: the whole log is read again, whatever it followed before
    // (another program may have changed it).
    listedSql_.clear();
    showAny();
}

// ---------------------------------------------------------------------------------------
// Order options

void frmUtility::enableSecondKeys(bool enabled) {
    frame2nd->setEnabled(enabled);
    optBand2->setEnabled(enabled);
    optMode2->setEnabled(enabled);
}

void frmUtility::optCall_Click() {
    enableSecondKeys(true);
    showAny();
}

void frmUtility::optPlace_Click() {
    enableSecondKeys(true);
    showAny();
}

void frmUtility::optWWLocator_Click() {
    enableSecondKeys(true);
    showAny();
}

void frmUtility::optBand_Click() {
    enableSecondKeys(false);
    showAny();
}

void frmUtility::optBand2_Click() {
    showAny();
}
void frmUtility::optMode2_Click() {
    showAny();
}

void frmUtility::cmdExit_Click() {
    hide();
}

// ---------------------------------------------------------------------------------------
// Editing and deleting the selected QSO. Each action reads the QSO again by its key, so it
// works on what the log holds now, not on the line as it was listed.

bool frmUtility::fetchSelected() {
    const int line = selectedLine();
    if (line < 0 || line >= listed_) {
        return false;
    }
    const qint32 key = lineKeys_[static_cast<size_t>(line)];
    Recordset& rs = s.m.openShared(QStringLiteral("select * from data where count =") +
                                   QString::number(key) + QStringLiteral(";"));
    if (rs.eof()) {
        // Deleted meanwhile (by another window or program): say so and show the log as it is.
        s.dialogs.tell(this, QStringLiteral("this QSO is no longer in the Logbook!"),
                       Icon::Critical);
        showAny();
        return false;
    }
    return true;
}

namespace {
// Selects a drop-down entry by its text. A text that is not in the list leaves no entry
// selected: an empty stored province (an imported QSO whose place the gazetteer does not
// know) is saved empty again instead of as the province that happened to be selected.
void selectText(QComboBox* box, const QString& text) {
    box->setCurrentIndex(box->findText(text));
}
} // namespace

void frmUtility::List_DblClick() {
    if (!fetchSelected()) {
        return;
    }
    Recordset& rs = *s.m.sharedRs;
    if (codes::isState(rs.text(QStringLiteral("qsl")), codes::accredited)) {
        s.dialogs.tell(this, QStringLiteral("You cannot edit an accreditated qso!"),
                       Icon::Critical);
        return;
    }
    // The stored values, read before the edit window's handlers reopen the shared slots.
    const QString locator = rs.text(QStringLiteral("WWLocator"));
    const QString call = rs.text(QStringLiteral("call"));
    QString time = rs.text(QStringLiteral("time"));
    const QString date = rs.text(QStringLiteral("date"));
    const QString placeText = rs.text(QStringLiteral("place"));
    const QString prov = rs.text(QStringLiteral("prov"));
    const QString mode = rs.text(QStringLiteral("mode"));
    const QString band = rs.text(QStringLiteral("band"));
    const int count = rs.field(QStringLiteral("count")).toInt();
    const bool confirmedQsl = codes::isState(rs.text(QStringLiteral("qsl")), codes::confirmed);
    const radiotable::Values exact = radiotable::read(s.m.logDb, count);

    registry.show(Window::EditQSO);
    auto& edit = windowOf<frmEditQSO>(registry, Window::EditQSO);
    // Each text set runs the edit window's change handlers as typing would.
    edit.setStored(edit.txtWWLocator, locator);
    edit.setStored(edit.txtCall, call);
    if (time.size() < 8) {
        time.prepend(u'0');
    }
    edit.setStored(edit.txtTime, time.mid(0, 2) + time.mid(3, 2));
    edit.setStored(edit.txtDate[0], date.mid(0, 2));
    edit.setStored(edit.txtDate[1], date.mid(3, 2));
    edit.setStored(edit.txtDate[2], date.mid(6, 2));
    edit.comboPlace->setEditText(placeText);
    selectText(edit.comboProv, prov);
    selectText(edit.comboMode, mode);
    selectText(edit.comboBand, band);
    edit.editCount = count;
    if (confirmedQsl) {
        edit.optQSLConf->setChecked(true);
    } else {
        edit.optQSLworked->setChecked(true);
    }
    edit.txtWWLocator->setFocus();
    // Beyond the award's fields: the QSO's exact band, frequency and mode.
    edit.showRadio(exact);
}

void frmUtility::cmdEditQSO_Click() {
    if (selectedLine() >= 0) {
        List_DblClick();
    }
}

void frmUtility::cmdDeleteQSO_Click() {
    if (selectedLine() < 0 || !fetchSelected()) {
        return;
    }
    if (codes::isState(s.m.sharedRs->text(QStringLiteral("qsl")), codes::accredited)) {
        s.dialogs.tell(this, QStringLiteral("you cannot delete an accreditated QSO!"),
                       Icon::Critical);
        return;
    }
    // OK deletes the QSO: a stray Enter or Esc answers Cancel.
    if (s.dialogs.message(
            this,
            QStringLiteral(
                "are you sure you want to permanently delete this QSO from the Logbook?"),
            Icon::Critical, Buttons::OkCancel, {}, safeKeys(Buttons::OkCancel)) != Answer::Ok) {
        return;
    }
    s.m.sharedRs->deleteRow();
    showAny();
    registry.conta();
}

void frmUtility::List_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers /*shift*/, int x,
                                int y) {
    if (button == Qt::RightButton && selectedLine() >= 0) {
        mnPopup->popup(List->viewport()->mapToGlobal(QPoint(x, y)));
    }
}

void frmUtility::mnEditQSO_Click() {
    cmdEditQSO_Click();
}
void frmUtility::mnDeleteQSO_Click() {
    cmdDeleteQSO_Click();
}

} // namespace hm52
