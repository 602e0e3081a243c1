#ifndef VELMORA_UI_MAINWINDOW_BUSY_H
#define VELMORA_UI_MAINWINDOW_BUSY_H

#include <gdkmm/cursor.h>

#include "ui/interface.h"
#include "ui/mainwindow.h"
#include "ui/prefsdialog.h"

namespace velmora {

// For the files of the main window (mainwindow*.cpp) only.

// Marks the window busy for the life of the object. A greyed window also
// shows that the program works and takes no input meanwhile.
class MainWindow::Busy {
public:
    Busy(MainWindow& window, bool grey)
        : window(window)
        , grey(grey)
    {
        window.busy = true;
        if (!grey)
            return;
        window.set_sensitive(false);
        if (window.ui && window.ui->prefs)
            window.ui->prefs->set_sensitive(false);
        if (Glib::RefPtr<Gdk::Window> w = window.get_window())
            w->set_cursor(Gdk::Cursor(Gdk::WATCH));
    }
    ~Busy()
    {
        window.busy = false;
        if (!grey)
            return;
        window.set_sensitive(true);
        if (window.ui && window.ui->prefs)
            window.ui->prefs->set_sensitive(true);
        if (Glib::RefPtr<Gdk::Window> w = window.get_window())
            w->set_cursor();
    }
    Busy(const Busy&) = delete;
    Busy& operator=(const Busy&) = delete;

private:
    MainWindow& window;
    bool grey;
};

} // namespace velmora

#endif
