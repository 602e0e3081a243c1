#ifndef VELMORA_TESTS_SUPPORT_ELEMENT_TABLE_H
#define VELMORA_TESTS_SUPPORT_ELEMENT_TABLE_H

#include <string>

namespace velmora::test {

// The element table is one object for the whole process, and all tests share
// the process. A test that needs a table holds one of these: the table is empty
// when it starts and empty again when it ends, so no test sees another's lines.
class ElementTableScope {
public:
    ElementTableScope();
    ~ElementTableScope();
    ElementTableScope(const ElementTableScope&) = delete;
    ElementTableScope& operator=(const ElementTableScope&) = delete;

    // Loads table lines given as text (through a real file).
    void load_text(const std::string& lines);
    // Loads the "elements.txt" that ships with the program.
    void load_shipped();
};

// The path of the shipped "elements.txt" in the source tree.
std::string shipped_table_file();

} // namespace velmora::test

#endif
