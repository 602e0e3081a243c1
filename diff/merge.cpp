#include "diff/merge.h"

#include <git2.h>

#include <memory>

#include "base/errors.h"

namespace velmora {

namespace {

// libgit2 sets up its allocator and global state here; every call into it
// needs that first. The state lives until the program ends.
void init_library()
{
    static const int done = git_libgit2_init();
    (void)done;
}

git_merge_file_input input(const std::string& text)
{
    git_merge_file_input in;
    git_merge_file_input_init(&in, GIT_MERGE_FILE_INPUT_VERSION);
    in.ptr = text.data();
    in.size = text.size();
    return in;
}

std::string last_library_error()
{
    const git_error* e = git_error_last();
    return e && e->message ? e->message : "unknown error";
}

} // namespace

std::string merge_favouring_theirs(
    const std::string& base, const std::string& ours, const std::string& theirs)
{
    init_library();
    git_merge_file_input b = input(base);
    git_merge_file_input o = input(ours);
    git_merge_file_input t = input(theirs);
    git_merge_file_options options;
    git_merge_file_options_init(&options, GIT_MERGE_FILE_OPTIONS_VERSION);
    options.favor = GIT_MERGE_FILE_FAVOR_THEIRS;
    // What `git merge-file` uses: conflicts separated only by lines without
    // letters or digits are one conflict. With theirs favoured the merged text
    // is the same either way; it keeps the regions as git reports them.
    options.flags = GIT_MERGE_FILE_SIMPLIFY_ALNUM;
    git_merge_file_result result{};
    if (git_merge_file(&result, &b, &o, &t, &options) != 0)
        throw GenericError("Cannot merge the changes: " + last_library_error());
    std::unique_ptr<git_merge_file_result, void (*)(git_merge_file_result*)> owned(
        &result, git_merge_file_result_free);
    return std::string(result.ptr ? result.ptr : "", result.len);
}

} // namespace velmora
