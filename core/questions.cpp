#include "core/questions.h"

#include "core/conflict_reports.h"
#include "mod/game_files.h"

namespace velmora {

QuestionRound::QuestionRound(std::vector<ConflictPair> pairs_, GameFiles game_, ConflictReports& kept_)
    : pairs(std::move(pairs_))
    , game(std::move(game_))
    , kept(kept_)
    , reports(pairs.size())
    , states(pairs.size(), State::none)
    , wanted(pairs.size(), 1)
{
    for (std::size_t i = 0; i < pairs.size(); ++i)
        reports[i].message = pairs[i].message;
}

const ConflictReport& QuestionRound::report(std::size_t i)
{
    if (states.at(i) != State::described) {
        // A front end that reads one question reads the others it asks too.
        std::vector<std::size_t> which{i};
        for (std::size_t j = 0; j < pairs.size(); ++j)
            if (j != i && wanted[j] && states[j] != State::described)
                which.push_back(j);
        describe(which);
    }
    return reports[i];
}

const ConflictReport& QuestionRound::sides(std::size_t i)
{
    if (states.at(i) == State::none)
        hash({i});
    return reports[i];
}

void QuestionRound::describe(const std::vector<std::size_t>& which) { make(which, State::described); }

void QuestionRound::hash(const std::vector<std::size_t>& which) { make(which, State::hashed); }

void QuestionRound::set_wanted(std::size_t i, bool on) { wanted.at(i) = on; }

void QuestionRound::make(const std::vector<std::size_t>& which, State state)
{
    std::vector<ConflictPair> todo;
    std::vector<std::size_t> at;
    for (std::size_t i : which) {
        if (states.at(i) >= state)
            continue;
        todo.push_back(pairs[i]);
        at.push_back(i);
    }
    if (todo.empty())
        return;
    std::vector<ConflictReport> made;
    if (state == State::described)
        made = kept.describe_more(todo, game);
    else
        made = kept.sides_more(todo);
    for (std::size_t j = 0; j < at.size(); ++j) {
        // A kept report may hold more than was asked: its details too.
        states[at[j]] = made[j].described ? State::described : State::hashed;
        reports[at[j]] = std::move(made[j]);
    }
}

} // namespace velmora
