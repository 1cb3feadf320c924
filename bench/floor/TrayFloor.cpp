// The least a Qt program does to show an icon in the system tray: what Pinlet's start-up and
// idle memory are measured against.
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>

int main(int argc, char* argv[]) {
    const QApplication application(argc, argv);
    QPixmap square(22, 22);
    square.fill(Qt::darkYellow);
    QSystemTrayIcon icon{QIcon(square)};
    icon.show();
    return QApplication::exec();
}
