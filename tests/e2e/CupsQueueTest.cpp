// Printing through a real print queue: the test runs a CUPS daemon of its own (its own
// configuration folder and socket, never the machine's queues) with a cups-pdf queue, whose
// PDF files land in the test's folder; Fretly finds the queue through CUPS_SERVER.
#include <gtest/gtest.h>

#include <pwd.h>

#include "e2e/E2eSupport.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const char* const kQueue = "FretlyTestPdf";

class CupsQueue : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_exe = e2e::FretlyExe();
        ASSERT_FALSE(m_exe.empty());
        ASSERT_TRUE(m_dir.IsValid());
        const std::string cupsd = e2e::HaveProgram("cupsd") ? "cupsd" : "/usr/sbin/cupsd";
        if (!e2e::HaveProgram(cupsd) || !e2e::HaveProgram("lpadmin") || !e2e::HaveProgram("lpstat"))
            GTEST_SKIP() << "CUPS is not installed (scripts/install-deps installs cups, cups-client)";
        if (::access("/usr/lib/cups/backend/cups-pdf", F_OK) != 0)
            GTEST_SKIP() << "the cups-pdf backend is not installed (printer-driver-cups-pdf)";
        // cups-pdf reads its settings from /etc/cups only and runs only from a root cupsd.
        if (::geteuid() != 0 || ::access("/etc/cups", W_OK) != 0)
            GTEST_SKIP() << "a cups-pdf queue of the test's own needs root (cupsd runs the backend as root "
                            "and cups-pdf reads its output folder from /etc/cups)";
        if (::getpwnam("lp") == nullptr)
            GTEST_SKIP() << "no 'lp' user for cupsd to run its filters as";

        const fs::path& d = m_dir.path;
        m_conf = d / "conf";
        for (const char* sub : {"conf/ppd", "spool/tmp", "cache", "state", "log", "out", "home"})
            fs::create_directories(d / sub);
        m_out = d / "out";
        m_socket = d / "cups.sock";
        WriteFileBytes(m_conf / "cups-files.conf",
                       "ServerRoot " + m_conf.string() + "\nRequestRoot " + (d / "spool").string() +
                           "\nTempDir " + (d / "spool/tmp").string() + "\nCacheDir " + (d / "cache").string() +
                           "\nStateDir " + (d / "state").string() + "\nAccessLog " + (d / "log/access_log").string() +
                           "\nErrorLog " + (d / "log/error_log").string() + "\nPageLog " +
                           (d / "log/page_log").string() + "\nUser lp\nGroup lp\nSystemGroup root\n");
        // A socket only: no port of the machine's, no browsing, anyone on it may administer.
        WriteFileBytes(m_conf / "cupsd.conf", "Listen " + m_socket.string() +
                                                  "\nLogLevel info\nBrowsing No\nWebInterface No\n"
                                                  "DefaultAuthType None\n<Location />\n  Order allow,deny\n"
                                                  "  Allow all\n</Location>\n<Policy default>\n  <Limit All>\n"
                                                  "    Order deny,allow\n  </Limit>\n</Policy>\n");
        // The queue's own cups-pdf instance ("cups-pdf:/NAME" reads cups-pdf-NAME.conf).
        m_instance = "fretlytest" + std::to_string(::getpid());
        m_instanceConf = fs::path("/etc/cups") / ("cups-pdf-" + m_instance + ".conf");
        WriteFileBytes(m_instanceConf, "Out " + m_out.string() + "\nAnonDirName " + m_out.string() + "\nSpool " +
                                           (d / "spool/cups-pdf").string() + "\nLog " + (d / "log").string() +
                                           "\n");

        ASSERT_TRUE(m_cupsd.Start({cupsd, "-f", "-c", (m_conf / "cupsd.conf").string(), "-s",
                                   (m_conf / "cups-files.conf").string()},
                                  {}, d / "cupsd.log"));
        if (!e2e::WaitUntil([&] { return fs::exists(m_socket) || !m_cupsd.Running(); }, 20s) || !m_cupsd.Running())
            GTEST_SKIP() << "cupsd did not start:\n" << m_cupsd.LogTail() << ReadFileBytes(d / "log/error_log");

        int code = -1;
        const std::string out = Cups("lpadmin -p " + std::string(kQueue) + " -E -v cups-pdf:/" + m_instance +
                                         " -P /usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd",
                                     &code);
        ASSERT_EQ(code, 0) << out;
        m_tab = d / "blues.tab";
        e2e::WriteSongTab(m_tab, 14, "Queue Blues");
    }

    void TearDown() override
    {
        m_cupsd.Stop();
        std::error_code ec;
        if (!m_instanceConf.empty())
            fs::remove(m_instanceConf, ec);
    }

    // A CUPS client command against this test's daemon only.
    std::string Cups(const std::string& command, int* pCode = nullptr) const
    {
        return e2e::Shell("CUPS_SERVER=" + e2e::Quote(m_socket.string()) + " CUPS_SERVERROOT=" +
                              e2e::Quote(m_conf.string()) + " HOME=" + e2e::Quote((m_dir.path / "home").string()) +
                              " " + command,
                          pCode, 30);
    }

    // Runs Fretly with the private server; its exit code (-1 when it had to be killed after
    // the time limit, so a message box waiting for nobody fails the test).
    int RunFretly(const std::vector<std::string>& args, std::string& log)
    {
        std::vector<std::string> argv = {m_exe};
        argv.insert(argv.end(), args.begin(), args.end());
        e2e::CChild fretly;
        const e2e::Env env = {{"QT_QPA_PLATFORM", "offscreen"}, {"CUPS_SERVER", m_socket.string()},
                              {"CUPS_SERVERROOT", m_conf.string()}, {"HOME", (m_dir.path / "home").string()},
                              {"PRINTER", ""}, {"LPDEST", ""}, {"XDG_CONFIG_HOME", m_dir.path.string()},
                              {"XDG_DATA_HOME", (m_dir.path / "home/no-data").string()},
                              {"XDG_STATE_HOME", (m_dir.path / "state").string()}};
        // No desktop registration: its data folder is a file.
        WriteFileBytes(m_dir.path / "home/no-data", "not a folder");
        if (!fretly.Start(argv, env, m_dir.path / "fretly.log"))
            return -1;
        const int status = fretly.Wait(60s);
        log = fretly.LogTail();
        return e2e::ExitCode(status);
    }

    // The PDF the queue wrote, once its job has completed; empty if none came.
    fs::path AwaitQueuePdf()
    {
        fs::path found;
        e2e::WaitUntil([&] {
            if (Cups(std::string("lpstat -W completed -o ") + kQueue).find(kQueue) == std::string::npos)
                return false;
            for (const auto& entry : fs::directory_iterator(m_out))
                if (entry.path().extension() == ".pdf")
                    found = entry.path();
            return !found.empty();
        }, 60s);
        return found;
    }

    std::string m_exe;
    CScratchDir m_dir{"fretly-e2e-cups"};
    fs::path m_conf, m_out, m_socket, m_tab, m_instanceConf;
    std::string m_instance;
    e2e::CChild m_cupsd;
};

TEST_F(CupsQueue, NamedQueuePrintsEveryPage)
{
    std::string log;
    EXPECT_EQ(RunFretly({"/pt", m_tab.string(), kQueue, "", ""}, log), 0) << log;
    const fs::path pdf = AwaitQueuePdf();
    ASSERT_FALSE(pdf.empty()) << "no job completed on the queue:\n" << Cups("lpstat -W all -o") << log;
    EXPECT_EQ(e2e::PdfPageCount(pdf), 2);
    // (Its text is not checked: the queue's PostScript round trip leaves the fonts without
    // a text encoding pdftotext can read.)
}

TEST_F(CupsQueue, PrintWithoutAQueueNameUsesTheDefaultQueue)
{
    std::string log;
    int code = -1;
    ASSERT_EQ((Cups(std::string("lpadmin -d ") + kQueue, &code), code), 0);
    EXPECT_EQ(RunFretly({"/p", m_tab.string()}, log), 0) << log;
    const fs::path pdf = AwaitQueuePdf();
    ASSERT_FALSE(pdf.empty()) << "no job completed on the default queue:\n" << Cups("lpstat -W all -o") << log;
    EXPECT_EQ(e2e::PdfPageCount(pdf), 2);
}

// A failure must end the program with status 1 and its reason on stderr, never a message box
// that waits for nobody, and nothing may reach the queue.
TEST_F(CupsQueue, FailuresEndWithStatusOneAndTheReasonOnStderr)
{
    int code = -1;
    const std::string defaultQueue = Cups("lpstat -d", &code);
    ASSERT_EQ(code, 0) << defaultQueue;
    ASSERT_EQ(defaultQueue.find(kQueue), std::string::npos) << "the private server already has a default: " << defaultQueue;

    const struct {
        const char* name;
        std::vector<std::string> args;
        std::string expected;
    } cases[] = {
        {"unknown queue", {"/pt", m_tab.string(), "NOSUCHQUEUE", "", ""},
         "The printer NOSUCHQUEUE was not found, so nothing was printed."},
        {"no default queue", {"/p", m_tab.string()}, "There is no default printer, so nothing was printed."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string log;
        EXPECT_EQ(RunFretly(c.args, log), 1) << log;
        EXPECT_NE(log.find(c.expected), std::string::npos) << log;
    }
    EXPECT_EQ(Cups("lpstat -W all -o").find(kQueue), std::string::npos) << "a job reached the queue";
}

} // namespace
