// The windows on a data folder of many seasons, driven offscreen as a user would: the main
// window from the process's start, the race-day selection, a race card, a switch through its
// races and two going toggles. Prints each step's time and the peak memory.
//
//   zelvanor_windows_bench DATA_FOLDER [RUNS]
//
// DATA_FOLDER holds imported seasons (bench/windows_bench.sh fills one).

#include <QAbstractButton>
#include <QApplication>
#include <QTabBar>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <numeric>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "core/shell/app_paths.hpp"
#include "core/shell/instance_lock.hpp"
#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "gui/shell/main_window.hpp"
#include "gui/shell/startup.hpp"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Milliseconds the process has lived, from the kernel's start time of this process.
double processAgeMs() {
    std::ifstream stat("/proc/self/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    // Field 22 (starttime, in clock ticks since boot) follows the command name's closing ")".
    std::istringstream rest(text.substr(text.rfind(')') + 2));
    std::string field;
    for (int i = 3; i <= 22; ++i) rest >> field;
    const double startTicks = std::stod(field);
    std::ifstream uptimeFile("/proc/uptime");
    double uptime = 0;
    uptimeFile >> uptime;
    return (uptime - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK))) * 1000.0;
}

long peakMemoryKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    }
    return 0;
}

// Lets the window system deliver the show and paint events a step caused.
void settle() {
    QApplication::processEvents();
    QApplication::processEvents();
}

template <typename T>
T* findWindowChild(const char* window, const char* child) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(window) && w->isVisible()) {
            return w->findChild<T*>(QLatin1String(child));
        }
    }
    return nullptr;
}

QWidget* findWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name) && w->isVisible()) return w;
    }
    return nullptr;
}

void closeWindow(const char* name) {
    if (QWidget* w = findWindow(name)) w->close();
    settle();
}

struct Series {
    std::vector<double> ms;
    void add(double v) { ms.push_back(v); }
    double median() {
        std::sort(ms.begin(), ms.end());
        return ms.empty() ? 0 : ms[ms.size() / 2];
    }
    double max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s DATA_FOLDER [RUNS]\n", argv[0]);
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const zelvanor::AppPaths paths{std::filesystem::path(argv[1])};
    const zelvanor::InstanceLock lock(paths.dataFolder());
    auto main = zelvanor::gui::startProgram(paths, lock);
    if (!main) return 1;
    main->show();
    settle();
    const double startMs = processAgeMs();
    // A person's first click comes a moment after the window appears; the race database's
    // schema is read on a worker thread meanwhile. ZELVANOR_BENCH_NO_PAUSE=1 clicks at once.
    const bool pause = qgetenv("ZELVANOR_BENCH_NO_PAUSE") != "1";
    if (pause) {
        const auto until = Clock::now() + std::chrono::milliseconds(500);
        while (Clock::now() < until) {
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        }
    }

    Series selection, cardOpen, raceSwitch, goingToggle;
    const auto openSelection = [&] {
        const auto t = Clock::now();
        main->openRaceDaySelection();
        settle();
        selection.add(msSince(t));
        if (!findWindow("RaceDaySelection")) return false;
        closeWindow("RaceDaySelection");
        return true;
    };
    // The first before anything else reads tran.mdb: it waits for what is left of the schema
    // read started with the main window, as a user's first click would.
    if (!openSelection()) {
        std::fprintf(stderr, "the race-day selection did not open\n");
        return 1;
    }

    // The meeting to show: the last one stored of the course with the most meetings.
    zelvanor::Meeting meeting;
    std::size_t meetings = 0, tables = 0, most = 0;
    {
        zelvanor::Database& tran = main->session().tran();
        tables = tran.userTables().size();
        for (const auto& list : zelvanor::meetingsByCourse(tran)) {
            meetings += list.size();
            if (list.size() > most) {
                most = list.size();
                meeting = list.back();
            }
        }
    }
    if (meeting.raceTable.empty()) {
        std::fprintf(stderr, "no meeting stored in %s\n", argv[1]);
        return 1;
    }

    for (int run = 0; run < runs; ++run) {
        if (run > 0 && !openSelection()) {
            std::fprintf(stderr, "the race-day selection did not open\n");
            return 1;
        }

        auto t = Clock::now();
        main->openRaceCard(meeting);
        settle();
        cardOpen.add(msSince(t));
        auto* tabs = findWindowChild<QTabBar>("RaceCardWindow", "raceTabs");
        auto* going = findWindowChild<QAbstractButton>("RaceCardWindow", "goingButton");
        if (!tabs || !going) {
            std::fprintf(stderr, "the race card has no raceTabs or goingButton\n");
            return 1;
        }
        for (int i = 1; i < tabs->count(); ++i) {
            t = Clock::now();
            tabs->setCurrentIndex(i);
            settle();
            raceSwitch.add(msSince(t));
        }
        for (int i = 0; i < 2; ++i) {
            t = Clock::now();
            going->click();
            settle();
            goingToggle.add(msSince(t));
        }
        closeWindow("RaceCardWindow");
    }

    std::printf("data folder: %s (%zu meetings, %zu tables in tran.mdb)\n", argv[1], meetings,
                tables);
    std::printf("shown meeting: %s, %d runs, first step %s\n", meeting.raceTable.c_str(), runs,
                pause ? "0.5 s after the main window appeared" : "as soon as the main window appeared");
    std::printf("%-34s %9s %9s %9s\n", "step", "first ms", "median ms", "max ms");
    std::printf("%-34s %9.1f\n", "process start to main window", startMs);
    const auto row = [](const char* name, Series& s) {
        const double first = s.ms.empty() ? 0 : s.ms.front();
        const double max = s.max();
        std::printf("%-34s %9.1f %9.1f %9.1f\n", name, first, s.median(), max);
    };
    row("race-day selection open and filled", selection);
    row("race card open", cardOpen);
    row("race switch", raceSwitch);
    row("going toggle", goingToggle);
    std::printf("peak memory: %.1f MB\n", static_cast<double>(peakMemoryKb()) / 1024.0);
    return 0;
}
