// The start-up baseline: a plain Qt window with a list of the current folder's *.jpg and
// *.jpeg files, in the order QDir gives by name. With --japanese it also loads Qt's Japanese
// translations and shows one line of Japanese text above the names, as any window with a
// Japanese interface must: that measures what the font fallback and the catalogs cost alone.
#include <QApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QListView>
#include <QStringListModel>
#include <QTranslator>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool japanese = app.arguments().contains(QStringLiteral("--japanese"));
    QTranslator translator;
    if (japanese
        && translator.load(QStringLiteral("qt_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&translator);

    QStringList lines = QDir::current().entryList(
        {QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, QDir::Files, QDir::Name);
    if (japanese)
        lines.prepend(QStringLiteral("ファイル名を連番化します"));
    QListView view;
    view.setUniformItemSizes(true);
    auto* model = new QStringListModel(lines, &view);
    view.setModel(model);
    view.setWindowTitle(QStringLiteral("plain list"));
    view.resize(380, 520);
    view.show();
    return app.exec();
}
