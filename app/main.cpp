#include <QApplication>
#include <QMainWindow>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Платформа Korvenix"));
    QMainWindow mainForm;
    mainForm.setWindowTitle(QStringLiteral("Платформа Korvenix"));
    mainForm.resize(1024, 700);
    mainForm.show();
    return app.exec();
}
