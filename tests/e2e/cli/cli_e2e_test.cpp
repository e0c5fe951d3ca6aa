// movarin-cli as a user runs it: a program folder with the console program, a catalogue
// and Movarin.ini naming the test server; its output read from a pipe, its registrations
// looked up in the prefix's registry.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "base/sha256.h"
#include "platform/win32/handles.h"
#include "platform/win32/text.h"
#include "tests/e2e/driver/driver.h"
#include "tests/e2e/driver/registry_read.h"
#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/temp_folder.h"
#include "tests/support/win32/test_server.h"
#include "tools/catalog/writer/jet_writer.h"
#include "tools/test_com_dll/test_com_ids.h"

namespace movarin::e2e {
namespace {

using movarin::win32::Narrow;
using movarin::win32::UniqueKernelHandle;
using movarin::win32::Widen;

const std::string kOptionsKey = "Software\\VB and VBA Program Settings\\MovarinFiles\\OPTIONS";
const std::string kClassKey = Narrow(test_com::kClassKey);
const std::string kServerKey = Narrow(test_com::kServerKey);
const std::string kLibrary = test_com::kFileName;

struct Ran {
  DWORD exit_code = 0xFFFFFFFF;
  std::string out;  // standard output and standard error, as one stream
};

// Runs a console program with its output on a pipe and waits for it.
Ran RunCaptured(const std::string& program, const std::string& arguments) {
  Ran ran;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE read_end = nullptr;
  HANDLE write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherit, 0)) return ran;
  UniqueKernelHandle reader(read_end);
  UniqueKernelHandle writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  std::wstring command = L"\"" + Widen(program) + L"\" " + Widen(arguments);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                      nullptr, &startup, &process)) {
    return ran;
  }
  UniqueKernelHandle process_handle(process.hProcess);
  UniqueKernelHandle thread_handle(process.hThread);
  writer.reset();  // the pipe ends when the program (and what it started) closes its end
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) ran.out.append(buffer, got);
  WaitForSingleObject(process.hProcess, 120000);
  GetExitCodeProcess(process.hProcess, &ran.exit_code);
  return ran;
}

std::string SystemFolder() {
  wchar_t buffer[MAX_PATH + 1] = {};
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  return Narrow(std::wstring_view(buffer, length));
}

bool FileExists(const std::string& path) {
  return GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    server_ = test::TestServerUrl().value_or("");
    const auto root = test::TestServerRoot();
    ASSERT_FALSE(server_.empty()) << "no test server";
    ASSERT_TRUE(root.has_value());
    ASSERT_TRUE(test::ResetServer());
    saved_download_path_ = ReadRegistryString(HKEY_CURRENT_USER, kOptionsKey, "downloadpath");
    installed_ = SystemFolder() + "\\" + kLibrary;
    had_installed_ = test::ReadWholeFile(installed_);
    ASSERT_TRUE(DeleteRegistryTree(HKEY_LOCAL_MACHINE, kClassKey));

    // The server offers the test COM library, and a page under a library's name.
    const std::string library = BuildPath("testdata\\" + kLibrary);
    ASSERT_TRUE(CopyFileW(Widen(library).c_str(), Widen(*root + "\\files\\" + kLibrary).c_str(), FALSE))
        << library;
    ASSERT_TRUE(test::WriteWholeFile(*root + "\\files\\page.ocx", "<html><body>Not here</body></html>"));

    folder_.emplace("movarin-cli");
    downloads_.emplace("movarin-cli-downloads");
    ASSERT_FALSE(folder_->path().empty());
    ASSERT_TRUE(CopyFileW(Widen(BuildPath("app\\movarin-cli.exe")).c_str(),
                          Widen(*folder_ / "movarin-cli.exe").c_str(), FALSE));
    const std::vector<tools::catalog_writer::CatalogueEntry> entries = {
        {kLibrary, "1.0.0.0"}, {"missing.dll", "2.0"}, {"page.ocx", "3.0"}, {"sample3000.bin", ""}};
    ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(*folder_ / "database.mdb", entries,
                                                          tools::catalog_writer::CatalogueOptions{})
                    .ok());
    ASSERT_TRUE(test::WriteWholeFile(*folder_ / "Movarin.ini", "[Server]\r\nBaseUrl=" + server_ + "\r\n"));
  }

  void TearDown() override {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kClassKey);
    if (had_installed_) {
      test::WriteWholeFile(installed_, *had_installed_);
    } else {
      DeleteFileW(Widen(installed_).c_str());
    }
    if (saved_download_path_) {
      SetDownloadPath(*saved_download_path_);
    } else {
      RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kOptionsKey).c_str(), L"downloadpath");
    }
    test::ResetServer();
  }

  void SetDownloadPath(const std::string& folder) {
    const std::wstring value = Widen(folder);
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, Widen(kOptionsKey).c_str(), L"downloadpath", REG_SZ,
                              value.c_str(), static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }

  Ran Cli(const std::string& arguments) { return RunCaptured(*folder_ / "movarin-cli.exe", arguments); }

  std::optional<std::string> RegisteredServer() {
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kServerKey, "");
  }

  std::string server_;
  std::optional<test::TempFolder> folder_;
  std::optional<test::TempFolder> downloads_;
  std::optional<std::string> saved_download_path_;
  std::string installed_;
  std::optional<std::string> had_installed_;
};

TEST_F(CliTest, SearchListsNamesAndVersions) {
  const Ran ran = Cli("search m");
  EXPECT_EQ(ran.exit_code, 0u) << ran.out;
  // In the catalogue's own order, as the main window lists a search.
  EXPECT_EQ(ran.out, kLibrary + "\t1.0.0.0\r\nmissing.dll\t2.0\r\n");
  const Ran none = Cli("search zz");
  EXPECT_EQ(none.exit_code, 0u);
  EXPECT_EQ(none.out, "");
}

TEST_F(CliTest, GetShowsProgressInPlaceIntoTheDownloadFolderOrTheNamedOne) {
  // 3000 bytes in pieces, so that several percentages arrive.
  ASSERT_TRUE(test::ControlServer("set?path=/files/sample3000.bin&mode=slow&bytes=1000&delay_ms=100"));
  ASSERT_NO_FATAL_FAILURE(SetDownloadPath(downloads_->path()));
  const Ran ran = Cli("get sample3000.bin");
  EXPECT_EQ(ran.exit_code, 0u) << ran.out;
  // Each percentage replaces the last on one line; the result takes its place.
  EXPECT_NE(ran.out.find("\rsample3000.bin: 100%"), std::string::npos) << ran.out;
  EXPECT_EQ(ran.out.find('\n'), ran.out.size() - 1) << ran.out;
  EXPECT_NE(ran.out.find("\rsample3000.bin: downloaded"), std::string::npos) << ran.out;
  const auto saved = test::ReadWholeFile(*downloads_ / "sample3000.bin");
  ASSERT_TRUE(saved.has_value());
  EXPECT_EQ(saved->size(), 3000u);

  test::TempFolder other("movarin-cli-to");
  const Ran to = Cli("get " + kLibrary + " --to \"" + other.path() + "\"");
  EXPECT_EQ(to.exit_code, 0u) << to.out;
  EXPECT_TRUE(FileExists(other / kLibrary));
  EXPECT_FALSE(FileExists(*downloads_ / kLibrary));
}

TEST_F(CliTest, InstallRegistersTwiceHarmlesslyAndUninstallRemovesTheKey) {
  const Ran first = Cli("install " + kLibrary);
  EXPECT_EQ(first.exit_code, 0u) << first.out;
  EXPECT_NE(first.out.find(kLibrary + ": registered\r\n"), std::string::npos) << first.out;
  const auto server = RegisteredServer();
  ASSERT_TRUE(server.has_value()) << "the library's key is missing";
  EXPECT_EQ(CompareStringOrdinal(Widen(*server).c_str(), -1, Widen(installed_).c_str(), -1, TRUE),
            CSTR_EQUAL)
      << *server;

  const Ran second = Cli("install " + kLibrary);
  EXPECT_EQ(second.exit_code, 0u) << second.out;
  EXPECT_NE(second.out.find(kLibrary + ": registered\r\n"), std::string::npos) << second.out;
  EXPECT_TRUE(RegisteredServer().has_value());

  const Ran removed = Cli("uninstall " + kLibrary);
  EXPECT_EQ(removed.exit_code, 0u) << removed.out;
  EXPECT_EQ(removed.out, kLibrary + ": unregistered\r\n");
  EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kClassKey));
}

TEST_F(CliTest, EachFailureHasItsMessageAndTheExitCodeSaysSo) {
  const std::string system_page = SystemFolder() + "\\page.ocx";
  ASSERT_FALSE(FileExists(system_page));

  const Ran unknown = Cli("install nothere.dll");
  EXPECT_EQ(unknown.exit_code, 1u);
  EXPECT_EQ(unknown.out, "nothere.dll: not in the catalogue\r\n");

  const Ran missing = Cli("install missing.dll");
  EXPECT_EQ(missing.exit_code, 1u);
  EXPECT_NE(missing.out.find("missing.dll: download failed: The file, \"" + server_ +
                             "files/missing.dll\" was not found!"),
            std::string::npos)
      << missing.out;

  const Ran page = Cli("install page.ocx");
  EXPECT_EQ(page.exit_code, 1u);
  EXPECT_NE(page.out.find("page.ocx: not a library\r\n"), std::string::npos) << page.out;
  EXPECT_FALSE(FileExists(system_page)) << "a page reached the system folder";

  // One failing name among good ones: the good one is still done, the code says 1.
  const Ran mixed = Cli("install nothere.dll " + kLibrary);
  EXPECT_EQ(mixed.exit_code, 1u) << mixed.out;
  EXPECT_TRUE(RegisteredServer().has_value());

  for (const char* bad : {"", "fetch x.dll", "get", "search", "install a.dll --to C:\\"}) {
    const Ran usage = Cli(bad);
    EXPECT_EQ(usage.exit_code, 2u) << bad;
    EXPECT_NE(usage.out.find("usage: movarin-cli"), std::string::npos) << bad << "\n" << usage.out;
  }
  const Ran help = Cli("--help");
  EXPECT_EQ(help.exit_code, 0u);
  EXPECT_NE(help.out.find("install NAME..."), std::string::npos);
}

// A catalogue that carries each file's digest: a matching file is installed; a file
// changed on the server since is refused by get and install with both digests named,
// leaving an older file of that name as it was and nothing in the system folder.
TEST_F(CliTest, DigestsOfTheCatalogueAreCheckedAndAMismatchIsNamed) {
  const auto library = test::ReadWholeFile(BuildPath("testdata\\" + kLibrary));
  ASSERT_TRUE(library.has_value());
  std::string changed = *library;
  changed[changed.size() / 2] = static_cast<char>(changed[changed.size() / 2] ^ 0x5A);
  const auto root = test::TestServerRoot();
  ASSERT_TRUE(test::WriteWholeFile(*root + "\\files\\changed.dll", changed));
  const auto hex = [](const std::string& bytes) {
    base::Sha256 hash;
    hash.Update(bytes);
    return base::Sha256ToHex(hash.Finish());
  };
  const std::vector<tools::catalog_writer::CatalogueEntry> entries = {
      {kLibrary, "1.0.0.0", hex(*library)}, {"changed.dll", "1.0", hex(*library)}};
  ASSERT_TRUE(tools::catalog_writer::WriteCatalogueFile(*folder_ / "database.mdb", entries,
                                                        tools::catalog_writer::CatalogueOptions{})
                  .ok());
  const std::string mismatch = "changed.dll: download failed: The downloaded file does not match the catalogue: "
                               "SHA-256 expected " + hex(*library) + ", received " + hex(changed) +
                               ". The file was not kept.\r\n";

  const Ran installed = Cli("install " + kLibrary);
  EXPECT_EQ(installed.exit_code, 0u) << installed.out;
  EXPECT_NE(installed.out.find(kLibrary + ": registered\r\n"), std::string::npos) << installed.out;

  ASSERT_TRUE(test::WriteWholeFile(*downloads_ / "changed.dll", "an older copy"));
  const Ran got = Cli("get changed.dll --to \"" + downloads_->path() + "\"");
  EXPECT_EQ(got.exit_code, 1u) << got.out;
  EXPECT_NE(got.out.find(mismatch), std::string::npos) << got.out;
  EXPECT_EQ(test::ReadWholeFile(*downloads_ / "changed.dll"), "an older copy");
  EXPECT_EQ(test::FolderEntries(downloads_->path()), std::vector<std::string>{"changed.dll"});

  const std::string system_copy = SystemFolder() + "\\changed.dll";
  ASSERT_FALSE(FileExists(system_copy));
  const Ran install_changed = Cli("install changed.dll");
  EXPECT_EQ(install_changed.exit_code, 1u) << install_changed.out;
  EXPECT_NE(install_changed.out.find(mismatch), std::string::npos) << install_changed.out;
  EXPECT_FALSE(FileExists(system_copy));
  DeleteFileW(Widen(*root + "\\files\\changed.dll").c_str());
}

TEST_F(CliTest, HttpsServerInstallsAndABadCertificateFailsWithItsReason) {
  const auto trusted = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS");
  const auto wrong_host = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS_WRONG_HOST");
  const auto untrusted = test::EnvVar("MOVARIN_TEST_SERVER_HTTPS_UNTRUSTED");
  ASSERT_TRUE(trusted && wrong_host && untrusted) << "the test server runs without TLS";
  auto use_server = [&](const std::string& base) {
    ASSERT_TRUE(test::WriteWholeFile(*folder_ / "Movarin.ini", "[Server]\r\nBaseUrl=" + base + "\r\n"));
  };

  ASSERT_NO_FATAL_FAILURE(use_server(*trusted));
  const Ran installed = Cli("install " + kLibrary);
  EXPECT_EQ(installed.exit_code, 0u) << installed.out;
  EXPECT_NE(installed.out.find(kLibrary + ": registered\r\n"), std::string::npos) << installed.out;
  EXPECT_TRUE(RegisteredServer().has_value());
  EXPECT_NE(test::ServerLog().find("GET /files/" + kLibrary), std::string::npos);

  struct Case {
    const std::string& base;
    std::vector<std::string> reasons;  // what WinINet may name (Wine: revocation for an unknown CA)
  };
  const Case cases[] = {
      {*wrong_host, {"Error: The server's certificate name is invalid occurred."}},
      {*untrusted,
       {"Error: The server's certificate authority is not trusted occurred.",
        "Error: The server's certificate could not be checked for revocation occurred."}},
  };
  for (const Case& c : cases) {
    ASSERT_NO_FATAL_FAILURE(use_server(c.base));
    test::TempFolder into("movarin-cli-tls");
    const Ran refused = Cli("get " + kLibrary + " --to \"" + into.path() + "\"");
    EXPECT_EQ(refused.exit_code, 1u) << refused.out;
    bool named = false;
    for (const std::string& reason : c.reasons) {
      named = named || refused.out.find(kLibrary + ": download failed: " + reason) != std::string::npos;
    }
    EXPECT_TRUE(named) << refused.out;
    EXPECT_TRUE(test::FolderEntries(into.path()).empty()) << c.base << ": a file was left behind";
  }
}

}  // namespace
}  // namespace movarin::e2e
