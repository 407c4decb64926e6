#pragma once

// What a user is told when a launcher cannot start the program proper. A
// start from the menu or a key has no terminal: the text goes where the
// user sees it, so it is in the user's language, chosen as the programs
// choose theirs but without Qt, which is not loaded yet.
#include <string>

namespace startfailure {

enum class Cause {
    ModuleMissing,    // no module beside the launcher
    ModuleUnloadable, // the loader refused it: damaged, or built against other libraries
    NotTheModule,     // loaded, but without the program's entry
};

enum class Language { Chinese, English };

// The language of the environment's first preference that is English or
// Chinese, as the programs pick theirs: LANGUAGE's list, then the first
// of LC_ALL, LC_MESSAGES and LANG that is set. Chinese otherwise, the
// programs' own language. Any argument may be null.
Language languageOf(const char* language, const char* lcAll, const char* lcMessages,
                    const char* lang);
Language environmentLanguage();

struct Notice {
    std::string summary;
    std::string body;
};

// `detail` is the loader's own account, which names what is missing.
Notice describe(Cause cause, const std::string& program, const std::string& module,
                const std::string& detail, Language language);

} // namespace startfailure
