// Opening a PPD with libcups and indexing its main keywords in file order.
#include "ppd_context.h"

// libcups marks its PPD API deprecated, yet it is the parser this library is built on.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"

#include <cups/ppd.h>

#include <string_view>

namespace printing {
namespace {

constexpr std::string_view kDefaultPrefix = "Default";

}  // namespace

PPDContext *PPDContext::open(const std::string &path, PPDOpenFailure &failure) {
    PPDOpenProblem problem;
    SharedPPD file = open_shared_ppd(path, problem);
    if (!file) {
        failure = problem.kind;
        return nullptr;
    }
    auto *context = new PPDContext(std::move(file));
    if (context->keywords_.empty()) {
        context->release();
        failure = PPDOpenFailure::malformed;
        return nullptr;
    }
    return context;
}

PPDContext::PPDContext(SharedPPD file) : PrintingObject(kKind), file_(std::move(file)) { index_keywords(); }

// The list runs over libcups' attributes in file order. libcups keeps a UI option's
// choices apart from the attributes, so each option takes its place right after its
// Default line, where its choices follow in the file; options without one come last.
void PPDContext::index_keywords() {
    ppd_file_t *file = file_.get();
    for (int i = 0; i < file->num_attrs; ++i) {
        const ppd_attr_t *attribute = file->attrs[i];
        MainKeyword &entry = keyword_entry(attribute->name);
        if (entry.value == nullptr) entry.value = attribute->value;
        std::string_view name = attribute->name;
        if (name.size() > kDefaultPrefix.size() && name.starts_with(kDefaultPrefix)) {
            if (ppd_option_t *option = ppdFindOption(file, attribute->name + kDefaultPrefix.size())) {
                MainKeyword &option_entry = keyword_entry(option->keyword);
                if (option_entry.option == nullptr) option_entry.option = option;
            }
        }
    }
    for (int i = 0; i < file->num_groups; ++i) index_options_of(file->groups[i]);
    prefer_library_values();
}

// A file may repeat a keyword that libcups keeps as one field (two *ModelName lines): libcups,
// and the printing system after it, take the last line, so the same file must not name one
// printer here and another there. These keywords answer with libcups' field, not the first line.
void PPDContext::prefer_library_values() {
    const ppd_file_t *file = file_.get();
    const std::pair<std::string_view, const char *> fields[] = {
        {"ModelName", file->modelname},         {"NickName", file->nickname},
        {"ShortNickName", file->shortnickname}, {"Manufacturer", file->manufacturer},
        {"Product", file->product},             {"PCFileName", file->pcfilename},
    };
    for (const auto &[keyword, value] : fields) {
        auto found = position_of_.find(std::string(keyword));
        if (found != position_of_.end() && value != nullptr) keywords_[found->second].value = value;
    }
}

void PPDContext::index_options_of(const ppd_group_s &group) {
    for (int i = 0; i < group.num_options; ++i) {
        MainKeyword &entry = keyword_entry(group.options[i].keyword);
        if (entry.option == nullptr) entry.option = &group.options[i];
    }
    for (int i = 0; i < group.num_subgroups; ++i) index_options_of(group.subgroups[i]);
}

// The entry of a main keyword, added at the end of the list the first time it is met.
PPDContext::MainKeyword &PPDContext::keyword_entry(std::string_view name) {
    auto [found, added] = position_of_.try_emplace(std::string(name), keywords_.size());
    if (added) keywords_.push_back(MainKeyword{std::string(name)});
    return keywords_[found->second];
}

UInt32 PPDContext::main_index(std::string_view keyword) const {
    auto found = position_of_.find(std::string(keyword));
    return found == position_of_.end() ? 0 : static_cast<UInt32>(found->second + 1);
}

std::optional<std::string_view> PPDContext::invocation(UInt32 mainIndex, UInt32 optionIndex) const {
    if (mainIndex == 0 || mainIndex > keywords_.size()) return std::nullopt;
    const MainKeyword &entry = keywords_[mainIndex - 1];
    const ppd_option_t *option = entry.option;
    if (optionIndex == 0) {
        if (entry.value != nullptr) return std::string_view(entry.value);
        if (option != nullptr) return std::string_view(option->defchoice);
        return std::string_view();
    }
    if (option == nullptr || optionIndex > static_cast<UInt32>(option->num_choices)) return std::nullopt;
    const char *code = option->choices[optionIndex - 1].code;
    return code != nullptr ? std::string_view(code) : std::string_view();
}

}  // namespace printing
