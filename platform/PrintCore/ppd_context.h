// An opened PPD file and the index of its main keywords, behind ppdContext.
#pragma once

#include "pm_object.h"
#include "ppd_cache.h"

#include "support/live_count.h"

#include <MacTypes.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct ppd_file_s;
struct ppd_group_s;
struct ppd_option_s;

namespace printing {

inline constexpr char kPPDContextKind[] = "ppd-context";

class PPDContext final : public PrintingObject, platform::live::Counted<kPPDContextKind> {
public:
    static constexpr ObjectKind kKind = ObjectKind::ppd_context;

    // Opens and indexes the PPD at path, on the process's shared parse of the file; nullptr with
    // the reason when that fails. The caller owns the one reference of the result.
    static PPDContext *open(const std::string &path, PPDOpenFailure &failure);

    // The 1-based position of a main keyword among the file's distinct main keywords; 0 when absent.
    UInt32 main_index(std::string_view keyword) const;

    // Option 0: the keyword's own value (a UI option's default choice when it has none);
    // option n: the invocation code of the nth choice of a UI option. Nothing when out of range.
    std::optional<std::string_view> invocation(UInt32 mainIndex, UInt32 optionIndex) const;

private:
    struct MainKeyword {
        std::string name;
        const char *value = nullptr;           // from the file's attributes
        const ppd_option_s *option = nullptr;  // when the keyword is a UI option
    };

    explicit PPDContext(SharedPPD file);
    void index_keywords();
    void index_options_of(const ppd_group_s &group);
    void prefer_library_values();
    MainKeyword &keyword_entry(std::string_view name);

    SharedPPD file_;  // read only: its marks belong to whoever leased it for marking
    std::vector<MainKeyword> keywords_;
    std::unordered_map<std::string, std::size_t> position_of_;
};

}  // namespace printing
