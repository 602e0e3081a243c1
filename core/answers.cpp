#include "core/answers.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <libxml++/libxml++.h>

#include "base/errors.h"
#include "base/format.h"
#include "base/hash.h"
#include "core/config.h"
#include "xml/library.h"
#include "path/fs.h"
#include "path/platform.h"

namespace velmora {

namespace {

const char* const root_name = "VelmoraAnswers";

std::string child_text(const xmlpp::Element* e, const char* name)
{
    for (const xmlpp::Node* n : e->get_children(name))
        if (auto c = dynamic_cast<const xmlpp::Element*>(n))
            if (const xmlpp::TextNode* t = c->get_child_text())
                return t->get_content();
    return std::string();
}

bool same_pair(const RememberedAnswer& r, const std::string& a, const std::string& b)
{
    return (r.winner == a && r.loser == b) || (r.winner == b && r.loser == a);
}

} // namespace

void RememberedAnswers::load(const Path& f)
{
    file = f;
    answers.clear();
    unreadable = false;
    if (!exists(file))
        return;
    xmlpp::DomParser parser;
    parser.set_throw_messages(true);
    try {
        call_xml_library([&] { parser.parse_file(platform::native(file)); });
    } catch (const XmlLibraryError& e) {
        unreadable = true;
        std::string message = library_message(e);
        throw XmlError(format("The remembered answers %S cannot be read: %S", &file, &message));
    }
    const xmlpp::Element* root = parser.get_document()->get_root_node();
    if (!root)
        return;
    for (const xmlpp::Node* n : root->get_children("Answer")) {
        auto e = dynamic_cast<const xmlpp::Element*>(n);
        if (!e)
            continue;
        RememberedAnswer a{child_text(e, "Winner"), child_text(e, "Loser"), 0, 0};
        // An entry that lost a part cannot match anything: leave it out.
        if (a.winner.empty() || a.loser.empty() || !parse_hash(child_text(e, "WinnerChanges"), a.winner_changes)
            || !parse_hash(child_text(e, "LoserChanges"), a.loser_changes))
            continue;
        answers.push_back(a);
    }
}

void RememberedAnswers::save()
{
    if (unreadable)
        throw GenericError(format("Cannot save the remembered answers: %S could not be read. Forget all "
                                  "remembered answers to replace it.",
            &file));
    xmlpp::Document doc("1.0");
    xmlpp::Element* root = doc.create_root_node(root_name);
    for (const RememberedAnswer& a : answers) {
        xmlpp::Element* e = root->add_child("Answer");
        e->add_child("Winner")->set_child_text(a.winner);
        e->add_child("WinnerChanges")->set_child_text(hash_text(a.winner_changes));
        e->add_child("Loser")->set_child_text(a.loser);
        e->add_child("LoserChanges")->set_child_text(hash_text(a.loser_changes));
    }
    const std::string problem = write_document_atomically(doc, file);
    if (!problem.empty())
        throw GenericError(format("Cannot save the remembered answers %S: %S", &file, &problem));
}

unsigned int RememberedAnswers::find(
    const std::string& a, std::uint64_t a_changes, const std::string& b, std::uint64_t b_changes) const
{
    for (const RememberedAnswer& r : answers) {
        if (r.winner == a && r.loser == b && r.winner_changes == a_changes && r.loser_changes == b_changes)
            return 1;
        if (r.winner == b && r.loser == a && r.winner_changes == b_changes && r.loser_changes == a_changes)
            return 2;
    }
    return 0;
}

bool RememberedAnswers::about(const std::string& a, const std::string& b) const
{
    return std::any_of(answers.begin(), answers.end(), [&](const RememberedAnswer& r) { return same_pair(r, a, b); });
}

void RememberedAnswers::remember(const RememberedAnswer& answer)
{
    answers.erase(std::remove_if(answers.begin(), answers.end(),
                      [&](const RememberedAnswer& r) { return same_pair(r, answer.winner, answer.loser); }),
        answers.end());
    answers.push_back(answer);
}

bool RememberedAnswers::forget(const std::string& winner, const std::string& loser)
{
    auto it = std::find_if(answers.begin(), answers.end(),
        [&](const RememberedAnswer& r) { return r.winner == winner && r.loser == loser; });
    if (it == answers.end())
        return false;
    answers.erase(it);
    return true;
}

void RememberedAnswers::forget_all()
{
    answers.clear();
    unreadable = false;
}

} // namespace velmora
