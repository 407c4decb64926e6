#include "launcher/startfailure.h"

#include <cstdlib>
#include <cstring>

namespace startfailure {

namespace {

enum class Preference { None, Chinese, English };

Preference preferenceOf(const char* name, size_t length) {
    // "en", "en_GB.UTF-8", "zh-CN": the part before the territory.
    size_t end = 0;
    while (end < length && name[end] != '_' && name[end] != '-' && name[end] != '.' &&
           name[end] != '@')
        ++end;
    if (end == 2 && (name[0] | 0x20) == 'e' && (name[1] | 0x20) == 'n') return Preference::English;
    if (end == 2 && (name[0] | 0x20) == 'z' && (name[1] | 0x20) == 'h') return Preference::Chinese;
    return Preference::None;
}

Preference preferenceInList(const char* list) {
    if (!list) return Preference::None;
    for (const char* item = list; *item;) {
        const char* colon = std::strchr(item, ':');
        const size_t length = colon ? size_t(colon - item) : std::strlen(item);
        const Preference found = preferenceOf(item, length);
        if (found != Preference::None) return found;
        if (!colon) break;
        item = colon + 1;
    }
    return Preference::None;
}

bool isSet(const char* value) {
    return value && *value;
}

} // namespace

Language languageOf(const char* language, const char* lcAll, const char* lcMessages,
                    const char* lang) {
    Preference found = preferenceInList(language);
    if (found == Preference::None) {
        const char* locale = isSet(lcAll) ? lcAll : isSet(lcMessages) ? lcMessages : lang;
        if (isSet(locale)) found = preferenceOf(locale, std::strlen(locale));
    }
    return found == Preference::English ? Language::English : Language::Chinese;
}

Language environmentLanguage() {
    return languageOf(std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                      std::getenv("LANG"));
}

Notice describe(Cause cause, const std::string& program, const std::string& module,
                const std::string& detail, Language language) {
    const bool chinese = language == Language::Chinese;
    Notice notice;
    notice.summary = program + (chinese ? " 无法启动" : " cannot start");
    switch (cause) {
    case Cause::ModuleMissing:
        notice.body = chinese ? "程序模块 " + module + " 不存在。请重新安装 " + program + "。"
                              : "The program module " + module + " is missing. Please reinstall " +
                                    program + ".";
        break;
    case Cause::ModuleUnloadable:
        notice.body = chinese ? "程序模块 " + module + " 无法加载：" + detail
                              : "The program module " + module + " cannot be loaded: " + detail;
        break;
    case Cause::NotTheModule:
        notice.body = chinese ? module + " 不是 " + program + " 的程序模块：" + detail
                              : module + " is not the program module of " + program + ": " + detail;
        break;
    }
    return notice;
}

} // namespace startfailure
