#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Quillarne - Concordancias VXT"));
    window.resize(640, 280);
    window.show();
    return app.exec();
}
