#include "ui/editchangedialog.h"

#include <gdk/gdkkeysyms.h>
#include <glibmm/convert.h>
#include <pangomm/fontdescription.h>

#include "base/format.h"
#include "core/orrindel.h"
#include "path/platform.h"
#include "ui/lookup.h"
#include "ui/modal.h"

namespace velmora {

namespace {

const char* const latin1 = "ISO-8859-1";

EditChangeDialog::Encoding encoding_of(const Change& change, const std::string& text)
{
    // The text view holds UTF-8 without NUL characters, nothing else.
    if (text.find('\0') != std::string::npos)
        return EditChangeDialog::Encoding::Binary;
    if (g_utf8_validate(text.data(), static_cast<gssize>(text.size()), nullptr))
        return EditChangeDialog::Encoding::Utf8;
    // A whole file may be anything, so bytes that are not UTF-8 mean binary
    // data. Difference and XML texts come from the game's text files, whose
    // encoding is ISO-8859-1; every byte is a character there, so the text
    // converts back to the very same bytes.
    return change.type == Change::WHOLE ? EditChangeDialog::Encoding::Binary
                                        : EditChangeDialog::Encoding::Latin1;
}

// The first character of text that ISO-8859-1 cannot hold.
Glib::ustring first_non_latin1(const Glib::ustring& text)
{
    for (gunichar c : text)
        if (c > 0xff)
            return Glib::ustring(1, c);
    return Glib::ustring();
}

} // namespace

EditChangeDialog::EditChangeDialog(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , text_view(lookup_widget<Gtk::TextView>(xml, "edit_chg.text"))
    , notice(lookup_widget<Gtk::Label>(xml, "edit_chg.notice"))
    , save_button(lookup_widget<Gtk::Button>(xml, "edit_chg.save"))
{
    lookup_widget<Gtk::Button>(xml, "edit_chg.close")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &EditChangeDialog::close_clicked));
    save_button->signal_clicked().connect(sigc::mem_fun(*this, &EditChangeDialog::save_clicked));
    text_view->modify_font(Pango::FontDescription("Monospace"));
}

void EditChangeDialog::set_change(Change* c)
{
    change = c;
    std::string file = platform::native(c->file);
    set_title(format("Change to %S", &file));
    const std::string text = c->bytes();
    encoding = encoding_of(*c, text);
    Glib::RefPtr<Gtk::TextBuffer> buffer = text_view->get_buffer();
    switch (encoding) {
    case Encoding::Utf8:
        buffer->set_text(text);
        notice->hide();
        break;
    case Encoding::Latin1:
        buffer->set_text(Glib::convert(text, "UTF-8", latin1));
        notice->set_text(
            "This text is not UTF-8. It is shown as ISO-8859-1 (Western European), the encoding of "
            "the game's files, and saved back in that encoding.");
        notice->show();
        break;
    case Encoding::Binary: {
        buffer->set_text("");
        unsigned size = static_cast<unsigned>(text.size());
        notice->set_text(format(
            "%S holds binary content (%u bytes), which cannot be shown or edited as text.", &file, size));
        notice->show();
        break;
    }
    }
    bool editable = encoding != Encoding::Binary;
    text_view->set_editable(editable);
    text_view->set_cursor_visible(editable);
    text_view->set_sensitive(editable);
    save_button->set_sensitive(editable);
    buffer->set_modified(false);
    buffer->place_cursor(buffer->begin());
}

void EditChangeDialog::save_clicked()
{
    if (!change || encoding == Encoding::Binary)
        return;
    Glib::ustring text = text_view->get_buffer()->get_text(true);
    if (encoding == Encoding::Latin1) {
        Glib::ustring bad = first_non_latin1(text);
        if (!bad.empty()) {
            std::string file = platform::native(change->file);
            std::string shown = bad;
            show_error(this,
                format("The change to %S is kept in ISO-8859-1, which cannot hold the character '%S'. "
                       "Replace it "
                       "and save again; nothing was saved.",
                    &file, &shown));
            return;
        }
        change->set_text(Glib::convert(text, latin1, "UTF-8"));
    } else {
        change->set_text(text);
    }
    text_view->get_buffer()->set_modified(false);
}

void EditChangeDialog::close_clicked()
{
    if (change && text_view->get_buffer()->get_modified()) {
        std::string file = platform::native(change->file);
        if (show_message(this,
                format("The text of %S was edited but not saved. Close it and drop the edits?", &file),
                Gtk::MESSAGE_QUESTION, Gtk::BUTTONS_OK_CANCEL)
            != Gtk::RESPONSE_OK)
            return;
    }
    hide();
}

bool EditChangeDialog::on_delete_event(GdkEventAny*)
{
    close_clicked();
    return true;
}

bool EditChangeDialog::on_key_press_event(GdkEventKey* event)
{
    if (event->keyval == GDK_KEY_Escape) {
        close_clicked();
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

} // namespace velmora
