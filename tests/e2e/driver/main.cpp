// e2e_driver: drives the real TavixvCard.exe under Wine (or Windows) as a user would and reports each case.
//
//   e2e_driver --data DIR --work DIR [--app EXE] [--screens DIR] [--only TEXT]
//   e2e_driver --record-url URL   (the stand-in browser: appends URL to %TAVIX_URL_LOG%)
//   e2e_driver --version
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "cases.h"
#include "cases_faults.h"
#include "check.h"
#include "win.h"

namespace {

constexpr char kUsage[] =
    "usage: e2e_driver --data DIR --work DIR [--app EXE] [--screens DIR] [--only TEXT]\n"
    "       e2e_driver --record-url URL\n"
    "       e2e_driver --version\n";

std::wstring ModulePath() {
    std::wstring path(32768, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[32768];
    const DWORD length = GetEnvironmentVariableW(name, value, 32768);
    return length > 0 && length < 32768 ? std::wstring(value, length) : std::wstring();
}

// The stand-in browser: one address per line, appended, so that every opening is counted.
int RecordUrl(const std::wstring& url) {
    std::wstring log = EnvironmentValue(L"TAVIX_URL_LOG");
    if (log.empty())
        log = e2e::JoinPath(e2e::FolderOf(ModulePath()), L"urls.txt");
    for (int attempt = 0; attempt < 100; ++attempt) {
        HANDLE file = CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            const std::string line = e2e::ToUtf8(url) + "\n";
            DWORD written = 0;
            const bool ok = WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            CloseHandle(file);
            return ok ? 0 : 1;
        }
        Sleep(50);  // another recorder or the driver's read has it open
    }
    return 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    e2e::Environment env;
    env.driverExe = ModulePath();
    env.appExe = e2e::JoinPath(e2e::FolderOf(env.driverExe), L"TavixvCard.exe");
    std::string only;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--version") {
            e2e::Print("e2e_driver 1.0\n");
            return 0;
        } else if (arg == L"--record-url" && hasValue) {
            return RecordUrl(argv[++i]);
        } else if (arg == L"--data" && hasValue) {
            env.dataDir = argv[++i];
        } else if (arg == L"--work" && hasValue) {
            env.workDir = argv[++i];
        } else if (arg == L"--app" && hasValue) {
            env.appExe = argv[++i];
        } else if (arg == L"--screens" && hasValue) {
            env.screensDir = argv[++i];
        } else if (arg == L"--only" && hasValue) {
            only = e2e::ToUtf8(argv[++i]);
        } else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (env.dataDir.empty() || env.workDir.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!e2e::FileExists(env.appExe)) {
        e2e::Print("cannot find the program " + e2e::ToUtf8(env.appExe) + "\n");
        return 2;
    }
    env.urlLog = EnvironmentValue(L"TAVIX_URL_LOG");
    if (env.urlLog.empty())
        env.urlLog = e2e::JoinPath(env.workDir, L"urls.txt");
    e2e::MakeFolder(env.workDir);

    std::vector<e2e::TestCase> cases;
    for (auto group :
         {e2e::WindowCases, e2e::GenerateCases, e2e::ImportCases, e2e::LinkCases, e2e::FaultCases, e2e::BenchCases}) {
        for (const e2e::TestCase& testCase : group())
            cases.push_back(testCase);
    }
    return e2e::RunCases(cases, env, only) == 0 ? 0 : 1;
}
