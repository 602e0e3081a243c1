#include "tools/gamegen/text.h"

#include <cctype>

#include "tools/gamegen/catalog.h"
#include "tools/sampletext/sample_text.h"

namespace velmora::gamegen {

namespace {

// The source holds the words in UTF-8 for reading; the files get ISO-8859-1.
using sampletext::to_latin1;

struct Language {
    std::string element;
    std::vector<std::string> words; // ISO-8859-1
    // Name forms: the first matching pattern is replaced once.
    std::vector<std::pair<std::string, std::string>> accents;
    std::string plural;
    std::vector<std::string> genders;
};

std::vector<std::string> latin1_words(const char* text)
{
    std::vector<std::string> out;
    std::string word;
    for (const char* p = text;; ++p) {
        if (*p == ' ' || *p == '\0') {
            if (!word.empty())
                out.push_back(to_latin1(word));
            word.clear();
            if (*p == '\0')
                break;
        } else {
            word += *p;
        }
    }
    return out;
}

const std::vector<Language>& languages()
{
    static const std::vector<Language> all = {
        {"English",
            latin1_words(
                "the of and to in was with for by city people war peace king queen hero victory defense "
                "strength market harvest famous powerful century border island coast river mountain "
                "discovery treasure building founding empire army trade great ancient first many their its "
                "could would early age nation land walls over under between"),
            {}, "s", {}},
        {"French",
            latin1_words(
                "le la les des une un et de du en pour avec sur dans par plus très été était après déjà "
                "première époque forêt château armée cité région peuple guerre paix roi reine héros "
                "victoire défense force marché récolte célèbre élevé puissant siècle frontière île côte "
                "fleuve montagne découverte trésor bâtiment création à où ça mêlée"),
            {{"er", "ier"}, {"e", "é"}, {"a", "â"}}, "s", {"Male", "Female"}},
        {"German",
            latin1_words(
                "der die das und mit für über von zu im ein eine wurde größer Straße Stärke früh schön "
                "Bürger König Königin Held Krieg Frieden Stadt Städte Wälder Flüsse Gebäude Schätze Grenze "
                "mächtig berühmt Zeitalter Jahrhundert Ernte Markt Heer Verteidigung Sieg Volk Küste Insel "
                "Gebirge Entdeckung Gründung Mauer hölzern weiß grün Fuß"),
            {{"ss", "ß"}, {"a", "ä"}, {"o", "ö"}, {"u", "ü"}}, "e", {"Male", "Female", "Neuter"}},
        {"Italian",
            latin1_words(
                "il la le gli di del della e è con per più già così perché città età libertà virtù popolo "
                "guerra pace re regina eroe vittoria difesa forza mercato raccolto famoso potente secolo "
                "confine isola costa fiume montagna scoperta tesoro edificio fondazione sarà può cioè però "
                "là"),
            {{"er", "ere"}, {"o", "ò"}, {"e", "è"}}, "i", {"Male", "Female"}},
        {"Spanish",
            latin1_words(
                "el la los las de del y con para por más también según después año años niño señor "
                "ejército ciudad región pueblo guerra paz rey reina héroe victoria defensa fuerza mercado "
                "cosecha célebre poderoso siglo frontera isla costa río montaña descubrimiento tesoro "
                "edificio fundación nación pequeño está así"),
            {{"n", "ñ"}, {"o", "ó"}, {"a", "á"}}, "es", {"Male", "Female"}},
    };
    return all;
}

const Language& language(const std::string& element)
{
    for (const auto& l : languages())
        if (l.element == element)
            return l;
    return languages().front();
}

const std::vector<std::string> kIcons = {"[ICON_GOLD]", "[ICON_FOOD]", "[ICON_PRODUCTION]", "[ICON_COMMERCE]",
    "[ICON_STRENGTH]", "[ICON_MOVES]", "[ICON_HAPPY]", "[ICON_UNHAPPY]", "[ICON_HEALTHY]", "[ICON_RESEARCH]",
    "[ICON_CULTURE]", "[ICON_ESPIONAGE]"};

std::string capitalised(std::string s)
{
    if (!s.empty())
        s[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[0])));
    return s;
}

std::string phrase(Rng& rng, const Language& lang, int words)
{
    std::string out;
    for (int i = 0; i < words; ++i) {
        if (i)
            out += ' ';
        out += rng.pick(lang.words);
    }
    return out;
}

std::string sentence(Rng& rng, const Language& lang, const std::string& subject, bool markup)
{
    std::string s = capitalised(phrase(rng, lang, rng.range(3, 8)));
    if (rng.chance(50))
        s += " " + subject;
    s += " " + phrase(rng, lang, rng.range(3, 9));
    if (markup && rng.chance(20))
        s += " " + rng.pick(kIcons);
    if (markup && rng.chance(10))
        s += " [COLOR_HIGHLIGHT_TEXT]" + phrase(rng, lang, 2) + "[COLOR_REVERT]";
    return s + (rng.chance(90) ? "." : "!");
}

std::string article(Rng& rng, const Language& lang, const std::string& subject)
{
    std::string out;
    int paragraphs = rng.range(2, 4);
    for (int p = 0; p < paragraphs; ++p) {
        if (p)
            out += "[NEWLINE][NEWLINE]";
        int sentences = rng.range(3, 6);
        for (int s = 0; s < sentences; ++s) {
            if (s)
                out += ' ';
            out += sentence(rng, lang, subject, false);
        }
    }
    if (rng.chance(25))
        out += " [LINK=" + to_upper(subject.substr(0, subject.find(' '))) + "]" + subject + "[\\LINK]";
    return out;
}

std::string interface_text(Rng& rng, const Language& lang)
{
    std::string s = capitalised(phrase(rng, lang, rng.range(2, 6)));
    switch (rng.range(0, 4)) {
    case 0:
        s = "%s1_Name " + s;
        break;
    case 1:
        s += ": %d1 " + rng.pick(kIcons);
        break;
    case 2:
        s = "[COLOR_WARNING_TEXT]" + s + "[COLOR_REVERT]";
        break;
    case 3:
        if (lang.element == "English")
            s += " " + sampletext::escape_xml("&") + " " + phrase(rng, lang, 1);
        break;
    default:
        break;
    }
    return s;
}

// "Royal Archer" in a made-up French: a name changed a little, with accents.
std::string translated_name(const Language& lang, const std::string& subject)
{
    std::string out = subject;
    for (const auto& [from, to] : lang.accents) {
        std::string::size_type at = out.find(from, 1);
        if (at != std::string::npos) {
            out.replace(at, from.size(), to_latin1(to));
            break;
        }
    }
    return out;
}

XmlNode language_node(Rng& rng, const Language& lang, TextKind kind, const std::string& subject)
{
    switch (kind) {
    case TextKind::Name: {
        std::string name = lang.element == "English" ? subject : translated_name(lang, subject);
        // About one name in seven carries its grammar: singular:plural forms.
        if (lang.genders.empty() || !rng.chance(15))
            return XmlNode(lang.element, name);
        XmlNode n(lang.element);
        std::string gender = rng.pick(lang.genders);
        n.add("Text", name + ":" + name + lang.plural);
        n.add("Gender", gender + ":" + gender);
        n.add("Plural", "0:1");
        return n;
    }
    case TextKind::Sentence: {
        std::string s = sentence(rng, lang, subject, true);
        if (rng.chance(40))
            s += " " + sentence(rng, lang, subject, true);
        return XmlNode(lang.element, s);
    }
    case TextKind::Article:
        return XmlNode(lang.element, article(rng, lang, subject));
    case TextKind::Interface:
        return XmlNode(lang.element, interface_text(rng, lang));
    }
    return XmlNode(lang.element);
}

// What one text file holds: the texts of a pool's names, with a tag suffix.
struct Source {
    std::string pool;
    std::string suffix;
    TextKind kind;
};

struct TextFileContent {
    TextFile file;
    std::vector<Source> sources;
};

const std::vector<TextFileContent>& contents()
{
    const std::string latin = kLatin1Declaration;
    static const std::vector<TextFileContent> all = {
        {{"XML/Text/CIV4GameTextInfos_Objects.xml", "Object names", true, latin},
            {{"unit", "", TextKind::Name}, {"building", "", TextKind::Name}, {"tech", "", TextKind::Name},
                {"promotion", "", TextKind::Name}, {"bonus", "", TextKind::Name},
                {"improvement", "", TextKind::Name}, {"civic", "", TextKind::Name},
                {"religion", "", TextKind::Name}, {"corporation", "", TextKind::Name},
                {"specialist", "", TextKind::Name}, {"trait", "", TextKind::Name},
                {"era", "", TextKind::Name}, {"terrain", "", TextKind::Name}, {"feature", "", TextKind::Name},
                {"civ", "_DESC", TextKind::Name}, {"civ", "_SHORT_DESC", TextKind::Name},
                {"civ", "_ADJECTIVE", TextKind::Name}, {"leader", "", TextKind::Name},
                {"project", "", TextKind::Name}}},
        {{"XML/Text/CIV4GameText_Civilopedia_Units.xml", "Civilopedia: units", true, latin},
            {{"unit", "_PEDIA", TextKind::Article}}},
        {{"XML/Text/CIV4GameText_Civilopedia_Buildings.xml", "Civilopedia: buildings", false, latin},
            {{"building", "_PEDIA", TextKind::Article}}},
        {{"XML/Text/CIV4GameText_Civilopedia_Techs.xml", "Civilopedia: technologies", false, latin},
            {{"tech", "_PEDIA", TextKind::Article}, {"tech", "_QUOTE", TextKind::Sentence}}},
        {{"XML/Text/CIV4GameText_Civilopedia_Civs.xml", "Civilopedia: civilizations and leaders", true,
             latin},
            {{"civ", "_PEDIA", TextKind::Article}, {"leader", "_PEDIA", TextKind::Article},
                {"promotion", "_PEDIA", TextKind::Sentence}, {"bonus", "_PEDIA", TextKind::Article}}},
        {{"XML/Text/CIV4GameText_Strategy.xml", "Strategy and help", false, latin},
            {{"unit", "_STRATEGY", TextKind::Sentence}, {"building", "_STRATEGY", TextKind::Sentence},
                {"tech", "_STRATEGY", TextKind::Sentence}, {"tech", "_HELP", TextKind::Sentence},
                {"civic", "_STRATEGY", TextKind::Sentence}}},
        {{"XML/Text/CIV4GameText_Events.xml", "Events", false,
             "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>"},
            {{"event", "", TextKind::Sentence}, {"event", "_LOCAL", TextKind::Sentence}}},
        {{"XML/Text/CIV4GameText_Diplomacy.xml", "Diplomacy", true, latin},
            {{"diplotext", "", TextKind::Interface}}},
        {{"XML/Text/CIV4GameTextInfos.xml", "Interface", false, latin},
            {{"uitext", "", TextKind::Interface}}},
        {{"XML/Text/CIV4GameText_Help.xml", "Hints and concepts", false, latin},
            {{"hint", "", TextKind::Sentence}, {"newconcept", "", TextKind::Name},
                {"newconcept", "_PEDIA", TextKind::Article}}},
    };
    return all;
}

std::string tag_of(const std::string& name, const std::string& suffix)
{
    bool tagged = name.compare(0, 8, "TXT_KEY_") == 0 || name.compare(0, 9, "AI_DIPLO_") == 0;
    return (tagged ? name : "TXT_KEY_" + name) + suffix;
}

std::string subject_of(const std::string& name)
{
    return display_name(name.compare(0, 8, "TXT_KEY_") == 0 ? name.substr(8) : name);
}

} // namespace

XmlNode text_record(Rng& rng, const std::string& tag, TextKind kind, const std::string& subject)
{
    XmlNode text("TEXT");
    text.add("Tag", tag);
    // Most records are translated into every language; some only into a few.
    bool all = rng.chance(85);
    for (const auto& lang : languages())
        if (all || lang.element == "English" || rng.chance(40))
            text.add(language_node(rng, lang, kind, subject));
    return text;
}

std::string english_phrase(Rng& rng, int words) { return phrase(rng, language("English"), words); }

std::string latin1_phrase(Rng& rng, const std::string& element, int words)
{
    return phrase(rng, language(element), words);
}

std::vector<TextFile> text_files()
{
    std::vector<TextFile> out;
    for (const auto& c : contents())
        out.push_back(c.file);
    return out;
}

XmlNode text_root()
{
    XmlNode root("Civ4GameText");
    root.attributes = {{"xmlns", "http://www.firaxis.com"}};
    return root;
}

XmlDocument text_document(
    const TextFile& file, const World& world, Rng& rng, std::vector<std::string> comments)
{
    XmlDocument doc;
    doc.declaration = file.declaration;
    doc.comments = std::move(comments);
    doc.crlf = file.crlf;
    doc.root = text_root();
    for (const auto& c : contents()) {
        if (c.file.path != file.path)
            continue;
        for (const auto& source : c.sources)
            for (const auto& name : world.pool(source.pool))
                doc.root.add(text_record(rng, tag_of(name, source.suffix), source.kind, subject_of(name)));
    }
    return doc;
}

} // namespace velmora::gamegen
