// movarin-catalog publish end to end: the real executable writes a site; mdbtools reads
// its catalogue back.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/support/environment.h"
#include "tests/support/files.h"
#include "tests/support/run.h"
#include "tests/support/temp_folder.h"
#include "tests/native/catalog/catalog_tool_run.h"

namespace movarin::tools {
namespace {

namespace fs = std::filesystem;
using movarin::test::CommandExists;
using movarin::test::CommandResult;
using movarin::test::FolderEntries;
using movarin::test::ReadWholeFile;
using movarin::test::RunShell;
using movarin::test::ShellQuote;
using movarin::test::TempFolder;
using movarin::test::WriteWholeFile;

class Publish : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(libraries_);
    fs::copy_file(Seed("pe32_version"), libraries_ / "Alpha.OCX");
    fs::copy_file(Seed("pe32plus_version"), libraries_ / "beta.dll");
  }
  CommandResult PublishTo(const fs::path& site, const std::string& extra = "") {
    return Tool("publish " + ShellQuote(libraries_.string()) + " " + ShellQuote(site.string()) + extra);
  }
  std::string Read(const fs::path& path) { return ReadWholeFile(path.string()).value_or("<missing>"); }

  TempFolder folder_;
  fs::path libraries_ = fs::path(folder_.path()) / "libraries";
  fs::path site_ = fs::path(folder_.path()) / "site";
};

TEST_F(Publish, WritesASiteTheProgramCanUse) {
  const auto published = PublishTo(site_, " --version 3");
  ASSERT_EQ(published.exit_code, 0) << published.err;
  EXPECT_EQ(published.out, "published 2 files to " + site_.string() + "\n");

  EXPECT_EQ(Read(site_ / "files/Alpha.OCX"), Read(libraries_ / "Alpha.OCX"));
  EXPECT_EQ(Read(site_ / "files/beta.dll"), Read(libraries_ / "beta.dll"));
  EXPECT_EQ(Read(site_ / "checkversion.php"), "checkupdates ccc3ddd");
  EXPECT_NE(Read(site_ / "Ads2.htm").find("<a href=\"sponsor.htm\">"), std::string::npos);
  EXPECT_TRUE(fs::exists(site_ / "sponsor.htm"));
  std::vector<std::string> entries = FolderEntries(site_.string());
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"Ads2.htm", "checkversion.php", "database.mdb",
                                               "database.mdb.sha256", "files", "sponsor.htm"}));
  // The catalogue's digest file is what sha256sum writes in the site folder.
  EXPECT_EQ(Read(site_ / "database.mdb.sha256"),
            RunShell("cd " + ShellQuote(site_.string()) + " && sha256sum database.mdb").out);

  if (!CommandExists("mdb-export")) GTEST_SKIP() << "mdbtools is not installed";
  const auto exported = RunShell("mdb-export " + ShellQuote((site_ / "database.mdb").string()) + " Files");
  ASSERT_EQ(exported.exit_code, 0) << exported.err;
  auto sha256 = [&](const char* name) {
    return RunShell("sha256sum " + ShellQuote((site_ / "files" / name).string())).out.substr(0, 64);
  };
  EXPECT_EQ(exported.out, "Filename,Version,sha256\n\"Alpha.OCX\",\"6.1.7601.0\",\"" + sha256("Alpha.OCX") +
                              "\"\n\"beta.dll\",\"6.1.7601.0\",\"" + sha256("beta.dll") + "\"\n");
}

TEST_F(Publish, RepublishingReplacesTheCatalogueAndKeepsTheOwnersPages) {
  ASSERT_EQ(PublishTo(site_, " --version 4").exit_code, 0);
  WriteWholeFile((site_ / "Ads2.htm").string(), "<html>edited by the owner</html>");
  fs::copy_file(Seed("pe32_version"), libraries_ / "gamma.ocx");

  const auto again = PublishTo(site_);
  ASSERT_EQ(again.exit_code, 0) << again.err;
  EXPECT_EQ(Read(site_ / "Ads2.htm"), "<html>edited by the owner</html>");
  // Without --version the reply the site had stays.
  EXPECT_EQ(Read(site_ / "checkversion.php"), "checkupdates ccc4ddd");
  const auto listed = Tool("list " + ShellQuote((site_ / "database.mdb").string()));
  const std::string gamma_sha256 =
      RunShell("sha256sum " + ShellQuote((libraries_ / "gamma.ocx").string())).out.substr(0, 64);
  EXPECT_EQ(listed.out.rfind("Alpha.OCX\t6.1.7601.0\t", 0), 0u) << listed.out;
  EXPECT_NE(listed.out.find("\nbeta.dll\t6.1.7601.0\t"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("\ngamma.ocx\t6.1.7601.0\t" + gamma_sha256 + "\n3\n"), std::string::npos)
      << listed.out;
  // Nothing of the write-beside steps is left over.
  EXPECT_EQ(FolderEntries(site_.string()).size(), 6u);
  EXPECT_EQ(FolderEntries((site_ / "files").string()).size(), 3u);
}

TEST_F(Publish, ANewSiteNamesTheCurrentProgramVersion) {
  ASSERT_EQ(PublishTo(site_).exit_code, 0);
  EXPECT_EQ(Read(site_ / "checkversion.php"), "checkupdates ccc2ddd");
}

TEST_F(Publish, RefusesWhatWouldWriteOutsideTheSiteOrLoseTheOldOne) {
  ASSERT_EQ(PublishTo(site_, " --version 2").exit_code, 0);
  const std::string old_catalogue = Read(site_ / "database.mdb");

  // A missing library folder fails before anything of the site changes.
  const auto missing = Tool("publish " + ShellQuote((fs::path(folder_.path()) / "none").string()) +
                            " " + ShellQuote(site_.string()));
  EXPECT_EQ(missing.exit_code, 1);
  EXPECT_EQ(Read(site_ / "database.mdb"), old_catalogue);

  // files/ as a link to another folder would put the libraries there.
  const fs::path elsewhere = fs::path(folder_.path()) / "elsewhere";
  const fs::path linked_site = fs::path(folder_.path()) / "linked";
  fs::create_directory(elsewhere);
  fs::create_directory(linked_site);
  fs::create_directory_symlink(elsewhere, linked_site / "files");
  const auto linked = PublishTo(linked_site);
  EXPECT_EQ(linked.exit_code, 1);
  EXPECT_NE(linked.err.find("is not a folder"), std::string::npos) << linked.err;
  EXPECT_TRUE(FolderEntries(elsewhere.string()).empty());

  // Only the site folder itself is created, never its parents.
  EXPECT_EQ(PublishTo(fs::path(folder_.path()) / "no/such/site").exit_code, 1);
  EXPECT_FALSE(fs::exists(fs::path(folder_.path()) / "no"));

  for (const char* bad : {" --version x", " --version -1", " --version 40000", " --version"}) {
    EXPECT_EQ(PublishTo(site_, bad).exit_code, 2) << bad;
  }
  EXPECT_EQ(Tool("publish " + ShellQuote(libraries_.string())).exit_code, 2);
  EXPECT_EQ(Read(site_ / "checkversion.php"), "checkupdates ccc2ddd");
}

// A free TCP port of 127.0.0.1 at this moment.
int FreePort() {
  const int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  int port = 0;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
    port = ntohs(address.sin_port);
  }
  close(fd);
  return port;
}

// Debian's nginx serving a site with the README's configuration, in the foreground as
// one process; stopped when the object goes away.
class Nginx {
 public:
  Nginx(const fs::path& site, const fs::path& work, int port) {
    const fs::path config = work / "nginx.conf";
    const std::string w = work.string();
    WriteWholeFile(config.string(),
                   "daemon off;\nmaster_process off;\npid " + w + "/nginx.pid;\n"
                   "error_log " + w + "/error.log;\nevents {}\nhttp {\n"
                   "  access_log off;\n"
                   "  client_body_temp_path " + w + "/body;\n  proxy_temp_path " + w + "/proxy;\n"
                   "  fastcgi_temp_path " + w + "/fastcgi;\n  uwsgi_temp_path " + w + "/uwsgi;\n"
                   "  scgi_temp_path " + w + "/scgi;\n"
                   "  server {\n    listen 127.0.0.1:" + std::to_string(port) + ";\n"
                   "    root " + site.string() + ";\n"
                   "    location / {\n      try_files $uri =404;\n    }\n"
                   "    location = /checkversion.php {\n      default_type text/plain;\n    }\n"
                   "  }\n}\n");
    pid_ = fork();
    if (pid_ == 0) {
      execlp("nginx", "nginx", "-c", config.c_str(), "-p", w.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
  }
  ~Nginx() {
    if (pid_ > 0) {
      kill(pid_, SIGTERM);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  pid_t pid_ = -1;
};

TEST_F(Publish, ASiteServedByNginxAnswersWhatTheProgramAsks) {
  if (!CommandExists("nginx") || !CommandExists("curl")) GTEST_SKIP() << "nginx or curl is missing";
  ASSERT_EQ(PublishTo(site_, " --version 2").exit_code, 0);
  const int port = FreePort();
  ASSERT_NE(port, 0);
  const fs::path work = fs::path(folder_.path()) / "nginx";
  fs::create_directory(work);
  Nginx server(site_, work, port);
  const std::string base = "http://127.0.0.1:" + std::to_string(port) + "/";
  auto get = [&](const std::string& path, const fs::path& into) {
    return RunShell("curl -s -o " + ShellQuote(into.string()) + " -w '%{http_code}' " +
                    ShellQuote(base + path));
  };
  CommandResult answer;
  for (int i = 0; i < 100; ++i) {  // until nginx listens
    answer = get("checkversion.php", work / "reply");
    if (answer.out == "200") break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  ASSERT_EQ(answer.out, "200") << Read(work / "error.log");
  EXPECT_EQ(Read(work / "reply"), "checkupdates ccc2ddd");
  EXPECT_EQ(get("database.mdb", work / "catalogue").out, "200");
  EXPECT_EQ(Read(work / "catalogue"), Read(site_ / "database.mdb"));
  EXPECT_EQ(get("files/Alpha.OCX", work / "library").out, "200");
  EXPECT_EQ(Read(work / "library"), Read(libraries_ / "Alpha.OCX"));
  EXPECT_EQ(get("Ads2.htm", work / "page").out, "200");
  EXPECT_EQ(get("files/missing.dll", work / "missing").out, "404");
}

}  // namespace
}  // namespace movarin::tools
