// The window tests need the toolkit, and so a display; listing them does not.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <iostream>
#include <memory>

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    if (!gtk_init_check(&argc, &argv)) {
        std::cerr << "velmora_ui_tests: cannot open a display (is DISPLAY set? run under xvfb-run)\n";
        return 1;
    }
    Gtk::Main kit(argc, argv);
    return RUN_ALL_TESTS();
}
