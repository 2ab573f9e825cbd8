// The start-up baseline: a plain Qt window with a list of the current folder's *.jpg and
// *.jpeg files, in the order QDir gives by name.
#include <QApplication>
#include <QDir>
#include <QListView>
#include <QStringListModel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QListView view;
    view.setUniformItemSizes(true);
    auto* model = new QStringListModel(
        QDir::current().entryList({QStringLiteral("*.jpg"), QStringLiteral("*.jpeg")}, QDir::Files,
                                  QDir::Name),
        &view);
    view.setModel(model);
    view.setWindowTitle(QStringLiteral("plain list"));
    view.resize(380, 520);
    view.show();
    return app.exec();
}
