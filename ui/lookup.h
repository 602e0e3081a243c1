#ifndef VELMORA_UI_LOOKUP_H
#define VELMORA_UI_LOOKUP_H

#include <glade/glade-xml.h>
#include <libglademm/xml.h>
#include <string>

#include "base/errors.h"
#include "base/format.h"

namespace velmora {

// The widget `name` of the window definitions. A definition file that lacks
// it, or holds it as another kind of widget, is a broken installation: the
// windows cannot work, so this throws GenericError naming the widget.
template <class T> T* lookup_widget(const Glib::RefPtr<Gnome::Glade::Xml>& xml, const std::string& name)
{
    T* widget = nullptr;
    // Asked first without the toolkit's complaint about a missing name.
    if (glade_xml_get_widget(xml->gobj(), name.c_str()))
        xml->get_widget(name, widget);
    if (!widget)
        throw GenericError(
            format("The window definitions lack the widget \"%S\" or give it the wrong kind.", &name));
    return widget;
}

} // namespace velmora

#endif
