// The baseline of the window benchmark: the least a Qt Widgets program does to show a window of the same
// fixed size as Velmora's, with nothing in it.

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(495, 309);
    window.show();
    return QApplication::exec();
}
