#include "ui_fixture.h"

#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <gtkmm/main.h>
#include <gtkmm/messagedialog.h>

#include "mod/mod.h"
#include "ui/mainwindow.h"

namespace velmora::test {

Path glade_file() { return Path(std::string(VELMORA_SOURCE_DIR) + "/ui/velmora.glade"); }

void pump()
{
    while (Gtk::Main::events_pending())
        Gtk::Main::iteration();
}

void close_by_window_manager(Gtk::Window& window)
{
    GdkEvent* event = gdk_event_new(GDK_DELETE);
    event->any.window = GDK_WINDOW(g_object_ref(window.get_window()->gobj()));
    event->any.send_event = TRUE;
    gtk_main_do_event(event);
    gdk_event_free(event);
}

Answers::Answers()
    : override([this](Gtk::Window& w) { return answer(w); })
{ }

Answers::~Answers() { EXPECT_TRUE(queue.empty()) << queue.size() << " expected dialog(s) never came"; }

Answers& Answers::then(Answer a)
{
    queue.push_back(std::move(a));
    return *this;
}

Answers& Answers::then_respond(int response)
{
    return then([response](Gtk::Window&) { return response; });
}

Answers& Answers::then_in_loop(std::function<void(Gtk::Window&)> action)
{
    return then([action](Gtk::Window& w) {
        Gtk::Dialog* dialog = dynamic_cast<Gtk::Dialog*>(&w);
        if (!dialog) {
            ADD_FAILURE() << "not a dialog: " << w.get_title();
            return 0;
        }
        Glib::signal_idle().connect_once([action, &w] { action(w); });
        return dialog->run();
    });
}

int Answers::answer(Gtk::Window& window)
{
    windows.push_back(&window);
    std::string text;
    if (auto* message = dynamic_cast<Gtk::MessageDialog*>(&window)) {
        text = message->property_text().get_value();
        messages.push_back(text);
    }
    if (queue.empty()) {
        ADD_FAILURE() << "unexpected dialog \"" << window.get_title() << "\" " << text;
        return Gtk::RESPONSE_DELETE_EVENT;
    }
    Answer a = std::move(queue.front());
    queue.pop_front();
    return a(window);
}

std::ostream& operator<<(std::ostream& os, const ModRow& row)
{
    return os << (row.enabled ? "[x] " : "[ ] ") << row.name << " | " << row.version << " | "
              << row.description;
}

UiSandbox::UiSandbox()
    : core(home())
{ }

UiSandbox::~UiSandbox()
{
    ui.reset();
    pump();
}

Path UiSandbox::write_mod(const std::string& file_name, const std::string& text) const
{
    Path file = mods() / Path(file_name);
    write_file(file, text);
    return file;
}

void UiSandbox::start()
{
    ui = std::make_unique<Interface>(core, glade_file());
    core.startup();
    // Window tests apply without the preview first, unless they test it.
    core.set_preview_before_apply(false);
}

std::vector<ModRow> UiSandbox::rows() const
{
    std::vector<ModRow> out;
    const MainWindow::ModListColumns& c = main().columns;
    for (const Gtk::TreeModel::Row& row : main().mod_list->get_model()->children()) {
        out.push_back({row[c.enabled], Glib::ustring(row[c.name]), Glib::ustring(row[c.version]),
            Glib::ustring(row[c.description])});
    }
    return out;
}

void UiSandbox::select(const std::string& name) const
{
    const MainWindow::ModListColumns& c = main().columns;
    for (const Gtk::TreeModel::Row& row : main().mod_list->get_model()->children()) {
        if (Glib::ustring(row[c.name]) == name) {
            main().mod_list->get_selection()->select(row);
            return;
        }
    }
    ADD_FAILURE() << "no mod named " << name << " in the list";
}

Mod* UiSandbox::mod_named(const std::string& name) const
{
    for (Mod* mod : core.get_mods())
        if (mod->name == name)
            return mod;
    ADD_FAILURE() << "no mod named " << name;
    return nullptr;
}

} // namespace velmora::test
