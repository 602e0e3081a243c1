#include "ui/buildwindow.h"

#include <gdk/gdkkeysyms.h>

#include "base/format.h"
#include "core/orrindel.h"
#include "path/platform.h"
#include "ui/lookup.h"

namespace velmora {

namespace {

// Trees this large are left folded: unfolding takes longer than reading them.
const std::size_t unfold_limit = 2000;

std::string joined(const std::vector<std::string>& names)
{
    std::string out;
    for (const std::string& name : names)
        out += (out.empty() ? "" : ", ") + name;
    return out;
}

std::string others_text(const BuildItem& item)
{
    std::string out;
    if (!item.losers.empty())
        out = "over " + joined(item.losers);
    if (!item.with.empty())
        out += (out.empty() ? "with " : "; with ") + joined(item.with);
    return out;
}

std::string mod_text(const BuildItem& item)
{
    if (item.kind == BuildItem::Field || item.kind == BuildItem::Lines)
        return item.mod.empty() ? std::string("(game)") : item.mod;
    return joined(item.mods);
}

std::size_t count_rows(const std::vector<BuildItem>& list)
{
    std::size_t n = list.size();
    for (const BuildItem& item : list)
        n += count_rows(item.children);
    return n;
}

std::string count_text(std::size_t n, const char* one, const char* many)
{
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

BuildWindow::Columns::Columns()
{
    add(name);
    add(value);
    add(mod);
    add(others);
    add(conflict);
    add(weight);
}

BuildWindow::BuildWindow(GtkWindow* cobject, const Glib::RefPtr<Gnome::Glade::Xml>& xml)
    : Gtk::Window(cobject)
    , summary(lookup_widget<Gtk::Label>(xml, "build.summary"))
    , mod_filter(lookup_widget<Gtk::ComboBox>(xml, "build.mod_filter"))
    , conflicts_only(lookup_widget<Gtk::CheckButton>(xml, "build.conflicts_only"))
    , tree(lookup_widget<Gtk::TreeView>(xml, "build.tree"))
    , store(Gtk::TreeStore::create(columns))
    , mods_store(Gtk::ListStore::create(filter_columns))
{
    tree->set_model(store);
    auto add_column = [&](const char* title, const Gtk::TreeModelColumn<Glib::ustring>& column, bool cut) {
        auto* view_column = Gtk::manage(new Gtk::TreeViewColumn(title, column));
        view_column->set_resizable(true);
        // Long lists of mods are cut to the window's width rather than widening it.
        if (cut) {
            view_column->set_expand(true);
            static_cast<Gtk::CellRendererText*>(view_column->get_first_cell_renderer())->property_ellipsize()
                = Pango::ELLIPSIZE_END;
        }
        tree->append_column(*view_column);
        return view_column;
    };
    add_column("Built", columns.name, false);
    add_column("Value", columns.value, false);
    Gtk::TreeViewColumn* mod = add_column("Mod", columns.mod, true);
    Gtk::TreeViewColumn* others = add_column("Replaced", columns.others, true);
    // The mod whose work stands in bold where it replaced another's; the
    // replaced mods in grey.
    mod->add_attribute(*mod->get_first_cell_renderer(), "weight", columns.weight);
    auto* others_cell = static_cast<Gtk::CellRendererText*>(others->get_first_cell_renderer());
    others_cell->property_foreground() = "grey50";
    tree->set_search_column(columns.name);

    mod_filter->set_model(mods_store);
    mod_filter->pack_start(filter_columns.label);
    mod_filter->signal_changed().connect([this] {
        if (!filling)
            show_items();
    });
    conflicts_only->signal_toggled().connect([this] {
        if (!filling)
            show_items();
    });
    lookup_widget<Gtk::Button>(xml, "build.close")
        ->signal_clicked()
        .connect(sigc::mem_fun(*this, &BuildWindow::close_clicked));
}

void BuildWindow::refresh()
{
    const std::string chosen = filtered_mod();
    Provenance provenance;
    built = orrindel && orrindel->read_provenance(provenance);
    items = build_items(provenance);
    mods = build_mods(provenance);
    filling = true;
    mods_store->clear();
    (*mods_store->append())[filter_columns.label] = "All mods";
    int active = 0;
    for (std::size_t i = 0; i < mods.size(); ++i) {
        (*mods_store->append())[filter_columns.label] = mods[i];
        if (mods[i] == chosen)
            active = static_cast<int>(i + 1);
    }
    mod_filter->set_active(active);
    filling = false;
    mod_filter->set_sensitive(built);
    conflicts_only->set_sensitive(built);
    show_items();
}

bool BuildWindow::filter_by(const std::string& mod)
{
    if (mod.empty()) {
        mod_filter->set_active(0);
        return true;
    }
    for (std::size_t i = 0; i < mods.size(); ++i) {
        if (mods[i] == mod) {
            mod_filter->set_active(static_cast<int>(i + 1));
            return true;
        }
    }
    return false;
}

std::string BuildWindow::filtered_mod() const
{
    const int active = mod_filter->get_active_row_number();
    return active > 0 && static_cast<std::size_t>(active) <= mods.size() ? mods[active - 1] : std::string();
}

void BuildWindow::show_items()
{
    store->clear();
    if (!built) {
        summary->set_text(
            "Nothing was built yet. Apply the mods to see which mod made each file, record and line.");
        return;
    }
    BuildFilter filter;
    filter.mod = filtered_mod();
    filter.conflicts_only = conflicts_only->get_active();
    const std::vector<BuildItem> shown = filter_build(items, filter);
    add_rows(shown, nullptr);
    if (count_rows(shown) <= unfold_limit)
        tree->expand_all();

    std::size_t conflicts = 0;
    for (const BuildItem& item : items)
        conflicts += item.conflict() ? 1 : 0;
    std::string text
        = count_text(items.size(), "file", "files") + " built by " + count_text(mods.size(), "mod", "mods");
    if (conflicts != 0)
        text += "; " + count_text(conflicts, "file has", "files have")
            + " conflicts, the replaced mods in grey";
    text += ".";
    if (items.empty())
        text = "The last apply built no file from a mod.";
    else if (shown.size() != items.size())
        text += " Showing " + count_text(shown.size(), "file", "files") + ".";
    summary->set_text(text);
}

void BuildWindow::add_rows(const std::vector<BuildItem>& list, const Gtk::TreeNodeChildren* parent)
{
    for (const BuildItem& item : list) {
        Gtk::TreeModel::Row row = parent ? *store->append(*parent) : *store->append();
        row[columns.name] = item.kind == BuildItem::File ? platform::native(Path(item.name)) : item.name;
        row[columns.value] = item.value;
        row[columns.mod] = mod_text(item);
        row[columns.others] = others_text(item);
        row[columns.conflict] = item.conflict();
        row[columns.weight] = item.conflict() ? Pango::WEIGHT_BOLD : Pango::WEIGHT_NORMAL;
        const Gtk::TreeNodeChildren children = row.children();
        add_rows(item.children, &children);
    }
}

void BuildWindow::close_clicked() { hide(); }

bool BuildWindow::on_delete_event(GdkEventAny*)
{
    close_clicked();
    return true;
}

bool BuildWindow::on_key_press_event(GdkEventKey* event)
{
    if (event->keyval == GDK_KEY_Escape) {
        close_clicked();
        return true;
    }
    return Gtk::Window::on_key_press_event(event);
}

} // namespace velmora
