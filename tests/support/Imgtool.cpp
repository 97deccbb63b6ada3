#include "Imgtool.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>

namespace tavik::test {

std::string CImgtool::Program() {
    const char* chosen = std::getenv("TAVIK_IMGTOOL");
    return chosen && *chosen ? chosen : "/usr/bin/imgtool";
}

bool CImgtool::Available() {
    return ::access(Program().c_str(), X_OK) == 0;
}

bool CImgtool::Run(const std::vector<std::string>& arguments, const std::string& folder) {
    m_output.clear();
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) return false;
    const std::string program = Program();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& a : arguments)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        return false;
    }
    if (child == 0) {
        ::dup2(pipeEnds[1], 1);
        ::dup2(pipeEnds[1], 2);
        ::close(pipeEnds[0]);
        ::close(pipeEnds[1]);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0) ::_exit(126);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    ::close(pipeEnds[1]);
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeEnds[0], buffer, sizeof buffer)) > 0;)
        m_output.append(buffer, static_cast<size_t>(n));
    ::close(pipeEnds[0]);
    int status = 0;
    if (::waitpid(child, &status, 0) != child) return false;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool CImgtool::Create(const std::string& format, const std::string& image, int sides, bool dd) {
    return Run({"create", format, image, "--sides=" + std::to_string(sides),
                std::string("--density=") + (dd ? "DD" : "SD")});
}

bool CImgtool::Put(const std::string& format, const std::string& image, const std::string& pcFile,
                   const std::string& tiName) {
    return Run({"put", format, image, pcFile, tiName});
}

bool CImgtool::GetAll(const std::string& format, const std::string& image,
                      const std::string& folder) {
    return Run({"getall", format, image}, folder);
}

bool CImgtool::Dir(const std::string& format, const std::string& image,
                   std::vector<ImgtoolEntry>& entries) {
    entries.clear();
    if (!Run({"dir", format, image})) return false;
    // The listing: a volume line, a rule of dashes, one line per file (name in 30 columns,
    // size in 9, attributes in 16), a rule, a summary.
    std::istringstream lines(m_output);
    int rules = 0;
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("------", 0) == 0) {
            ++rules;
            continue;
        }
        if (rules != 1 || line.size() < 40) continue;
        ImgtoolEntry e;
        e.name = line.substr(0, 30);
        e.name.erase(e.name.find_last_not_of(' ') + 1);
        e.bytes = std::strtol(line.substr(30, 9).c_str(), nullptr, 10);
        e.attributes = line.substr(40, 16);
        e.attributes.erase(0, e.attributes.find_first_not_of(' '));
        e.attributes.erase(e.attributes.find_last_not_of(' ') + 1);
        entries.push_back(e);
    }
    return rules >= 2;
}

std::string ImgtoolAttributes(int status, int recordLength) {
    const std::string protection = (status & 0x08) ? " R/O" : "";
    if (status & 0x01) return "PGM" + protection;
    return std::string((status & 0x02) ? "I" : "D") + "/" + ((status & 0x80) ? "V" : "F") + " " +
           std::to_string(recordLength) + protection;
}

}  // namespace tavik::test
