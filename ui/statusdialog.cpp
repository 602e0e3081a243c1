#include "ui/statusdialog.h"

#include <gdk/gdkkeysyms.h>

#include "ui/lookup.h"
#include "ui/modal.h"

namespace velmora {

StatusDialog::StatusDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , label(lookup_widget<Gtk::Label>(xml, "status.label"))
    , progress(lookup_widget<Gtk::ProgressBar>(xml, "status.progress"))
    , preview(lookup_widget<Gtk::Widget>(xml, "status.preview"))
    , preview_text(lookup_widget<Gtk::TextView>(xml, "status.preview_text"))
    , preview_again(lookup_widget<Gtk::CheckButton>(xml, "status.preview_again"))
    , preview_apply(lookup_widget<Gtk::Button>(xml, "status.preview_apply"))
    , preview_cancel(lookup_widget<Gtk::Button>(xml, "status.preview_cancel"))
{
    preview_apply->signal_clicked().connect([this] { answer(true); });
    preview_cancel->signal_clicked().connect([this] { answer(false); });
}

void StatusDialog::begin(const Glib::ustring& title, Gtk::Window& parent)
{
    set_title(title);
    set_transient_for(parent);
    label->set_text("");
    progress->set_fraction(0.0);
    show();
}

bool StatusDialog::ask_to_apply(
    const std::string& headline, const std::vector<std::string>& lines, bool again, Gtk::Window& parent)
{
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    set_title("Apply Mods?");
    set_transient_for(parent);
    label->set_text(headline);
    label->set_ellipsize(Pango::ELLIPSIZE_NONE);
    label->set_line_wrap(true);
    preview_text->get_buffer()->set_text(text);
    preview_again->set_active(again);
    progress->hide();
    preview->show();
    set_resizable(true);
    preview_apply->grab_focus();
    asking = true;
    answered_apply = false;
    run_window(*this);
    asking = false;
    preview->hide();
    progress->show();
    set_resizable(false);
    label->set_line_wrap(false);
    label->set_ellipsize(Pango::ELLIPSIZE_MIDDLE);
    return answered_apply;
}

void StatusDialog::answer(bool apply)
{
    if (!asking)
        return;
    answered_apply = apply;
    hide();
}

bool StatusDialog::on_delete_event(GdkEventAny*)
{
    answer(false);
    return true;
}

bool StatusDialog::on_key_press_event(GdkEventKey* event)
{
    if (asking && event->keyval == GDK_KEY_Escape) {
        answer(false);
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

} // namespace velmora
