#include <QApplication>
#include <QLabel>

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("zefiran"));
    window.show();
    return app.exec();
}
