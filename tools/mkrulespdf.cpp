// Renders the award rules, written as HTML in the repository, to the PDF that the Help
// menu opens.
//
// usage: mkrulespdf rules.html Hm52_reg_ita.pdf

#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: mkrulespdf rules.html out.pdf\n");
        return 1;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "mkrulespdf: cannot read %s\n", argv[1]);
        return 1;
    }
    const QString html = QString::fromUtf8(source.readAll());
    const QString outPath = QString::fromLocal8Bit(argv[2]);
    const QString building = outPath + QStringLiteral(".building");
    {
        QPdfWriter pdf(building);
        pdf.setTitle(QStringLiteral("DIPLOMA HM52 - Regolamento"));
        pdf.setCreator(QStringLiteral("HM52"));
        pdf.setPageSize(QPageSize(QPageSize::A4));
        pdf.setPageMargins(QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter);
        QTextDocument document;
        QFont font(QStringLiteral("Times New Roman"));
        font.setPointSize(11);
        document.setDefaultFont(font);
        document.setHtml(html);
        document.print(&pdf);
    }
    QFile::remove(outPath);
    if (!QFile::rename(building, outPath)) {
        std::fprintf(stderr, "mkrulespdf: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
