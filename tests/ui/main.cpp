// The window tests need the toolkit, and so a display; listing them does not.
#include <chrono>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <iostream>
#include <memory>
#include <thread>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // Under a loaded machine the shared Xvfb server can refuse a connection for
    // a moment while many test processes start at once: try a few times.
    bool opened = false;
    for (int attempt = 0; attempt < 5 && !opened; ++attempt) {
        if (attempt > 0)
            std::this_thread::sleep_for(std::chrono::seconds(1));
        opened = gtk_init_check(&argc, &argv);
    }
    if (!opened) {
        std::cerr << "velmora_ui_tests: cannot open a display (is DISPLAY set? run under xvfb-run)\n";
        return 1;
    }
    Gtk::Main kit(argc, argv);
    return RUN_ALL_TESTS();
}
