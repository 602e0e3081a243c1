// The window tests need the toolkit, and so a display; listing them does not.
#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <iostream>
#include <memory>
#include <thread>

// The exit code tests/CMakeLists.txt declares as SKIP_RETURN_CODE.
constexpr int skipped_without_display = 77;

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // Run by hand without any display (ctest in a build folder over ssh), the
    // window tests are skipped, not failed: ctest takes this exit code as
    // "skipped". A display that is named but refuses is still a failure.
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cout << "velmora_ui_tests: no display (DISPLAY is not set), the window tests are skipped. "
                     "Run them with: bash " VELMORA_SOURCE_DIR "/tools/with-display.sh ctest\n";
        return skipped_without_display;
    }
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
