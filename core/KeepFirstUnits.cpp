#include "KeepFirstUnits.h"

#include "TextRules.h"
#include "UnitNames.h"

namespace quorvel {
namespace {

constexpr std::u16string_view kMemoryManager =
    u"replaces the memory manager: memory taken before it is given back through the wrong manager";
constexpr std::u16string_view kSharedMemory =
    u"shares one memory manager with DLLs: it must be in place before anything is allocated";
constexpr std::u16string_view kMadExcept =
    u"exception tracer: hooks exceptions and memory before the units it reports on start";
constexpr std::u16string_view kEurekaLog =
    u"exception and leak tracer: must start before the units whose errors and leaks it reports";

std::vector<TKeepFirstUnit> MakeBuiltInList() {
    const auto entry = [](std::u16string_view AName, std::u16string_view AReason) {
        return TKeepFirstUnit{std::u16string(AName), std::u16string(AReason)};
    };
    return {
        entry(u"FastMM4", kMemoryManager),
        entry(u"FastMM5", kMemoryManager),
        entry(u"ScaleMM2", kMemoryManager),
        entry(u"BrainMM", kMemoryManager),
        entry(u"nxReplacementMemoryManager", kMemoryManager),
        entry(u"ShareMem", kSharedMemory),
        entry(u"SimpleShareMem", kSharedMemory),
        entry(u"FastShareMem", kSharedMemory),
        entry(u"cmem", u"Free Pascal: puts the C library's memory manager in place of the built-in one"),
        entry(u"heaptrc", u"Free Pascal: the heap tracer must see every allocation to report leaks"),
        entry(u"cthreads", u"Free Pascal: the thread manager, needed by units that start threads or locks"),
        entry(u"cwstring", u"Free Pascal: the wide string manager, needed by units that convert strings as they start"),
        entry(u"fpwidestring", u"Free Pascal: the wide string manager without the C library, needed by units that "
                               u"convert strings as they start"),
        entry(u"iosxwstr", u"Free Pascal: the wide string manager of macOS and iOS, needed by units that convert "
                           u"strings as they start"),
        entry(u"clocale", u"Free Pascal: reads the C locale into the format settings, which units that start "
                          u"before it copy unset"),
        entry(u"pagemem", kMemoryManager),
        entry(u"gcmem", u"Free Pascal: puts the garbage-collecting libgc in place of the memory manager"),
        entry(u"lineinfo", u"Free Pascal: line numbers in backtraces from stabs; installs the backtrace "
                           u"function that errors in the other units' start use"),
        entry(u"lnfodwrf", u"Free Pascal: line numbers in backtraces from DWARF; installs the backtrace "
                           u"function that errors in the other units' start use"),
        entry(u"lnfogdb", u"Free Pascal: line numbers in backtraces through gdb; installs the backtrace "
                          u"function that errors in the other units' start use"),
        entry(u"madExcept", kMadExcept),
        entry(u"madLinkDisAsm", kMadExcept),
        entry(u"madListHardware", kMadExcept),
        entry(u"madListProcesses", kMadExcept),
        entry(u"madListModules", kMadExcept),
        entry(u"EMemLeaks", kEurekaLog),
        entry(u"EResLeaks", kEurekaLog),
        entry(u"EFastMM5Support", kEurekaLog),
        entry(u"EDebugJCL", kEurekaLog),
        entry(u"EDebugExports", kEurekaLog),
        entry(u"EFixSafeCallException", kEurekaLog),
        entry(u"EMapWin32", kEurekaLog),
        entry(u"EAppVCL", kEurekaLog),
        entry(u"EAppConsole", kEurekaLog),
        entry(u"EAppFMX", kEurekaLog),
        entry(u"EDialogWinAPIMSClassic", kEurekaLog),
        entry(u"EDialogWinAPIEurekaLogDetailed", kEurekaLog),
        entry(u"EDialogWinAPIStepsToReproduce", kEurekaLog),
        entry(u"EDialogConsole", kEurekaLog),
        entry(u"ESendMailMAPI", kEurekaLog),
        entry(u"ESendMailSMAPI", kEurekaLog),
        entry(u"ESendMailSMTP", kEurekaLog),
        entry(u"ExceptionLog7", kEurekaLog),
        entry(u"ExceptionLog", kEurekaLog),
    };
}

}  // namespace

const std::vector<TKeepFirstUnit>& TQuorvel::BuiltInKeepFirstUnits() {
    static const std::vector<TKeepFirstUnit> list = MakeBuiltInList();
    return list;
}

}  // namespace quorvel

namespace quorvel::detail {

void UnitNameSet::Add(std::u16string_view AName) {
    if (AName.empty()) return;
    const char16_t first = FoldAscii(AName[0]);
    if (first < FFirstUnits.size()) FFirstUnits[first] = true;
    FNames.insert(FoldAscii(AName));
}

bool UnitNameSet::Contains(std::u16string_view AName) const {
    if (AName.empty() || FNames.empty()) return false;
    const char16_t first = FoldAscii(AName[0]);
    if (first < FFirstUnits.size() && !FFirstUnits[first]) return false;
    return FNames.contains(FoldAscii(AName));
}

namespace {

const UnitNameSet& BuiltInNames() {
    static const UnitNameSet names = [] {
        UnitNameSet set;
        for (const TKeepFirstUnit& unit : TQuorvel::BuiltInKeepFirstUnits()) set.Add(unit.Name);
        return set;
    }();
    return names;
}

}  // namespace

KeepFirstMatcher::KeepFirstMatcher(bool ABuiltIn, const std::vector<std::u16string>& AUserUnits,
                                   const std::vector<std::u16string>& AScopeNames)
    : FBuiltIn(ABuiltIn ? &BuiltInNames() : nullptr), FScopeNames(AScopeNames) {
    for (const std::u16string& name : AUserUnits) {
        const std::u16string_view trimmed = TrimBlanks(name);
        FUser.Add(trimmed);
        FUser.Add(WithoutScope(trimmed, AScopeNames));
    }
}

bool KeepFirstMatcher::IsListed(std::u16string_view AName) const {
    return (FBuiltIn != nullptr && FBuiltIn->Contains(AName)) || FUser.Contains(AName);
}

bool KeepFirstMatcher::Matches(std::u16string_view AUnitName) const {
    if (IsEmpty() || AUnitName.empty()) return false;
    return IsListed(AUnitName) || IsListed(WithoutScope(AUnitName, FScopeNames));
}

}  // namespace quorvel::detail
