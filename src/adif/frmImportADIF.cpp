#include "adif/frmImportADIF.h"

#include "adif/AdifExport.h"
#include "adif/AdifImport.h"
#include "ui/Backups.h"
#include "ui/Form.h"
#include "ui/Services.h"
#include "ui/Windows.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

namespace hm52 {

namespace {
const QString adifFilter = QStringLiteral("ADIF files (*.adi *.adif);;All files (*)");
}

frmImportADIF::frmImportADIF(Services& services, Windows& windows) : FormDialog(services, windows) {
    setObjectName(QStringLiteral("frmImportADIF"));
    setWindowTitle(QStringLiteral("Import ADIF"));
    // Nothing else may change the log while an import is being set up and run.
    setWindowModality(Qt::ApplicationModal);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("File:"), this));
    txtFile = new QLineEdit(this);
    txtFile->setObjectName(QStringLiteral("txtFile"));
    txtFile->setReadOnly(true);
    txtFile->setMinimumWidth(tw(6000));
    layout->addWidget(txtFile);

    auto* options = new QGroupBox(QStringLiteral("Options"), this);
    options->setObjectName(QStringLiteral("FrameOptions"));
    auto* optionsLayout = new QVBoxLayout(options);
    chkAllMixed = new QCheckBox(QStringLiteral("Log every QSO as MIXED"), options);
    chkAllMixed->setObjectName(QStringLiteral("chkAllMixed"));
    chkLotw =
        new QCheckBox(QStringLiteral("A QSL received through LoTW confirms the QSO"), options);
    chkLotw->setObjectName(QStringLiteral("chkLotw"));
    chkEqsl =
        new QCheckBox(QStringLiteral("A QSL received through eQSL confirms the QSO"), options);
    chkEqsl->setObjectName(QStringLiteral("chkEqsl"));
    optionsLayout->addWidget(chkAllMixed);
    optionsLayout->addWidget(chkLotw);
    optionsLayout->addWidget(chkEqsl);
    layout->addWidget(options);

    auto* note = new QLabel(QStringLiteral("Only QSOs in the sub-squares of HM52 are imported. "
                                           "The log is backed up first."),
                            this);
    note->setWordWrap(true);
    layout->addWidget(note);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdImport = new QPushButton(QStringLiteral("Import"), this);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    cmdImport->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    on(cmdImport, &QPushButton::clicked, &frmImportADIF::cmdImport_Click);
    on(cmdCancel, &QPushButton::clicked, &frmImportADIF::cmdCancel_Click);
}

void frmImportADIF::setFile(const QString& path, QWidget* owner) {
    txtFile->setText(QDir::toNativeSeparators(path));
    owner_ = owner;
}

void frmImportADIF::cmdCancel_Click() {
    reject();
}

void frmImportADIF::cmdImport_Click() {
    const QString path = QDir::fromNativeSeparators(txtFile->text());
    const QString name = QFileInfo(path).fileName();
    adif::ImportOptions options;
    options.allMixed = chkAllMixed->isChecked();
    options.lotwCounts = chkLotw->isChecked();
    options.eqslCounts = chkEqsl->isChecked();
    QWidget* owner = owner_;
    hide();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        s.dialogs.tell(
            owner, QStringLiteral("The file %1 cannot be read: %2").arg(path, file.errorString()),
            Icon::Critical);
        accept();
        return;
    }
    // Mapped when the system allows it; read otherwise.
    QByteArray read;
    QByteArrayView bytes;
    if (file.size() > 0) {
        if (const uchar* mapped = file.map(0, file.size())) {
            bytes = QByteArrayView(reinterpret_cast<const char*>(mapped), file.size());
        } else {
            read = file.readAll();
            bytes = read;
        }
    }

    if (!backupBeforeChange(s, owner, QStringLiteral("the import"))) {
        accept();
        return;
    }

    QProgressDialog progress(QStringLiteral("Importing %1...").arg(name), QStringLiteral("Cancel"),
                             0, 1000, owner);
    progress.setObjectName(QStringLiteral("progressImport"));
    progress.setWindowTitle(QStringLiteral("Import ADIF"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    const auto onProgress = [&progress](std::int64_t done, std::int64_t total) {
        progress.setValue(total > 0 ? static_cast<int>(done * 1000 / total) : 1000);
        // Until the modal progress shows (it waits a moment, so short imports do not
        // flicker), no click or key may reach another window and change the log inside the
        // import's transaction.
        QCoreApplication::processEvents(progress.isVisible() ? QEventLoop::AllEvents
                                                             : QEventLoop::ExcludeUserInputEvents);
        return !progress.wasCanceled();
    };
    onProgress(0, bytes.size());

    adif::ImportReport report;
    bool finished = false;
    runHandler(s, owner, [&]() {
        report = adif::importAdif(s.m, bytes, options, onProgress);
        finished = true;
    });
    progress.close();
    accept();
    if (!finished) {
        return;
    }
    if (report.imported > 0) {
        runHandler(s, owner, [this]() {
            registry.showAny();
            registry.conta();
        });
    }
    auto& shown = windowOf<frmImportReport>(registry, Window::ImportReport);
    shown.setReport(report.text(name));
    registry.show(Window::ImportReport);
}

frmImportReport::frmImportReport(Services& services, Windows& windows)
    : FormDialog(services, windows) {
    setObjectName(QStringLiteral("frmImportReport"));
    setWindowTitle(QStringLiteral("ADIF import report"));
    auto* layout = new QVBoxLayout(this);
    txtReport = new QPlainTextEdit(this);
    txtReport->setObjectName(QStringLiteral("txtReport"));
    txtReport->setReadOnly(true);
    txtReport->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    txtReport->setMinimumSize(tw(8000), tw(4500));
    layout->addWidget(txtReport);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons);
    on(cmdOK, &QPushButton::clicked, &frmImportReport::cmdOK_Click);
}

void frmImportReport::cmdOK_Click() {
    accept();
}

void frmImportReport::setReport(const QString& text) {
    txtReport->setPlainText(text);
}

namespace adif {

void startImport(Services& s, Windows& windows, QWidget* parent) {
    const QString path =
        fileDialogsOr(s.files).openPath(parent, QStringLiteral("Import ADIF"), adifFilter);
    if (path.isEmpty()) {
        return;
    }
    auto& window = windowOf<frmImportADIF>(windows, Window::ImportADIF);
    window.setFile(path, parent);
    window.open();
    window.raise();
}

void startExport(Services& s, QWidget* parent) {
    const QString suggested =
        QDir(s.programFolder)
            .filePath(QStringLiteral("hm52-%1.adi")
                          .arg(QDate::currentDate().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = fileDialogsOr(s.files).savePath(parent, QStringLiteral("Export ADIF"),
                                                         suggested, adifFilter);
    if (path.isEmpty()) {
        return;
    }
    runHandler(s, parent, [&]() {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly)) {
            s.dialogs.tell(
                parent,
                QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()),
                Icon::Critical);
            return;
        }
        const ExportReport report = writeAdif(s.m, file, QDateTime::currentDateTimeUtc());
        if (!file.commit()) {
            s.dialogs.tell(
                parent,
                QStringLiteral("The file %1 cannot be written: %2").arg(path, file.errorString()),
                Icon::Critical);
            return;
        }
        s.dialogs.tell(parent, report.text(QDir::toNativeSeparators(path)), Icon::Information);
    });
}

} // namespace adif

} // namespace hm52
