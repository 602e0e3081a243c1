// A helper of tools/kill-test.sh: "save FILE" saves two large mods, A and B,
// over FILE in turn until killed; "check FILE" loads FILE and prints which of
// the two it holds (exit 1 when it is neither, or does not load).
#include <cstring>
#include <iostream>
#include <string>

#include "base/errors.h"
#include "mod/mod.h"

namespace {

velmora::Mod make_mod(char which)
{
    velmora::Mod m;
    m.name = std::string("Save Loop ") + which;
    m.author = "kill test";
    m.version = "1";
    m.description = std::string(1000, which);
    for (int i = 0; i < 8; ++i) {
        velmora::Change text;
        text.file = "Python\\file" + std::to_string(i) + ".py";
        text.type = velmora::Change::WHOLE;
        text.text = std::string(1 << 20, which);
        m.changes.push_back(text);
        velmora::Change binary;
        binary.file = "Art\\file" + std::to_string(i) + ".dds";
        binary.type = velmora::Change::WHOLE;
        binary.text.assign(1 << 20, '\0');
        for (size_t k = 0; k < binary.text.size(); ++k)
            binary.text[k] = static_cast<char>((k * 7 + static_cast<unsigned char>(which)) & 0xff);
        m.changes.push_back(binary);
    }
    return m;
}

bool same(const velmora::Mod& a, const velmora::Mod& b)
{
    if (a.name != b.name || a.description != b.description || a.changes.size() != b.changes.size())
        return false;
    auto i = b.changes.begin();
    for (const velmora::Change& c : a.changes) {
        if (c.file != i->file || c.type != i->type || !c.same_payload(*i))
            return false;
        ++i;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 || (std::strcmp(argv[1], "save") != 0 && std::strcmp(argv[1], "check") != 0)) {
        std::cerr << "usage: velmora-save-loop save|check FILE\n";
        return 2;
    }
    const velmora::Path file(argv[2]);
    velmora::Mod mods[2] = {make_mod('A'), make_mod('B')};
    try {
        if (std::strcmp(argv[1], "save") == 0) {
            for (unsigned i = 0;; ++i) {
                velmora::Mod copy = mods[i % 2];
                copy.save(file);
            }
        }
        velmora::Mod loaded;
        if (loaded.load(file) != 0) {
            std::cerr << file.str() << ": missing\n";
            return 1;
        }
        for (const velmora::Mod& m : mods)
            if (same(loaded, m)) {
                std::cout << m.name << "\n";
                return 0;
            }
        std::cerr << file.str() << ": neither the old nor the new mod\n";
        return 1;
    } catch (const velmora::GenericError& e) {
        std::cerr << e.what() << "\n";
        return 1;
    }
}
