#ifndef VELMORA_TOOLS_GAMEGEN_TEXT_H
#define VELMORA_TOOLS_GAMEGEN_TEXT_H

#include <string>
#include <vector>

#include "tools/gamegen/rng.h"
#include "tools/gamegen/world.h"
#include "tools/gamegen/xml_doc.h"

namespace velmora::gamegen {

// What a text says: an object's name, a sentence or two, a Civilopedia
// article, or an interface string with the game's markup.
enum class TextKind { Name, Sentence, Article, Interface };

// A TEXT record: its Tag, then English and some of French, German, Italian
// and Spanish, in ISO-8859-1 bytes. subject is the English name the text is
// about. Some names in other languages are structured (Text, Gender, Plural).
XmlNode text_record(Rng& rng, const std::string& tag, TextKind kind, const std::string& subject);

// English words for a short phrase (ASCII), e.g. for a changed value.
std::string english_phrase(Rng& rng, int words);
// A phrase in one of the game's languages other than English, in ISO-8859-1.
std::string latin1_phrase(Rng& rng, const std::string& language, int words);

struct TextFile {
    std::string path;
    std::string title;
    bool crlf = false;
    std::string declaration;
};
// The text files of the tree, in the order they are written.
std::vector<TextFile> text_files();
// The document of one of them.
XmlDocument text_document(
    const TextFile& file, const World& world, Rng& rng, std::vector<std::string> comments);
// The root of every text file.
XmlNode text_root();

} // namespace velmora::gamegen

#endif
