#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "core/records/display_width.hpp"
#include "core/shell/codes.hpp"
#include "core/shell/constants.hpp"
#include "core/shell/data_session.hpp"
#include "core/store/store.hpp"
#include "core/views/meetings.hpp"
#include "core/views/race_card.hpp"
#include "core/views/recompute.hpp"
#include "terminal.hpp"

namespace zelvanor::cli {

Database* meetingDatabase(DataSession& data, const std::string& name, const Meeting& meeting) {
    Database* tran = data.existingTran();
    if (!tran) {
        std::cerr << data.paths().tranPath().string()
                  << " がありません。先に import で取り込んでください。\n";
        return nullptr;
    }
    if (!tran->hasTable(meeting.raceTable)) {
        std::cerr << name << " の出馬表データがありません。\n";
        return nullptr;
    }
    return tran;
}

int meetingsCommand(DataSession& data, bool json) {
    Database* opened = data.existingTran();
    if (!opened) {
        if (json) std::cout << "[]\n";
        return 0;
    }
    Database& tran = *opened;
    const auto lists = meetingsByCourse(tran);
    nlohmann::json all = nlohmann::json::array();
    for (const auto& list : lists) {
        for (const auto& m : list) {
            const int races = static_cast<int>(storedRaces(tran, m).size());
            if (json) {
                all.push_back({{"meeting", m.raceTable},
                               {"course", m.course},
                               {"courseName", bashoLabel(m.course)},
                               {"date", m.date},
                               {"races", races}});
            } else {
                std::cout << m.raceTable << "  " << bashoLabel(m.course) << "  "
                          << m.date.substr(0, 2) << "/" << m.date.substr(2, 2) << "/"
                          << m.date.substr(4, 2) << "  " << races << "レース\n";
            }
        }
    }
    if (json) printJson(std::cout, all);
    return 0;
}

int recomputeCommand(DataSession& data, const std::vector<std::string>& names,
                     const std::vector<std::string>& courses) {
    WorkConnections work(data.paths());
    std::vector<Meeting> meetings;
    for (const auto& name : names) {
        meetings.push_back(meetingOf(name));
        if (!work.tran.hasTable(meetings.back().raceTable)) {
            std::cerr << name << " の出馬表データがありません。\n";
            return 1;
        }
    }
    if (!courses.empty()) {
        const auto more = meetingsOfCourses(work.tran, courses);
        meetings.insert(meetings.end(), more.begin(), more.end());
    }
    const int races =
        recomputeMeetings(work.mast, work.tran, meetings, terminalProgress("再計算中"));
    clearProgress();
    std::cout << forTerminal(kRecomputedText) << "\n(" << meetings.size() << " 開催、" << races
              << " レース)\n";
    return 0;
}

int goingCommand(DataSession& data, const std::string& name, Going going) {
    const Meeting meeting = meetingOf(name);
    Database* tran = meetingDatabase(data, name, meeting);
    if (!tran) return 1;
    setMeetingGoing(*tran, meeting, going);
    std::cout << forTerminal(goingSetMessage(going)) << "\n";
    return 0;
}

int deleteCommand(DataSession& data, const std::string& name) {
    const Meeting meeting = meetingOf(name);
    Database* tran = meetingDatabase(data, name, meeting);
    if (!tran) return 1;
    // Another program may have dropped it since.
    if (!deleteMeeting(*tran, meeting)) {
        std::cerr << name << " の出馬表データがありません。\n";
        return 1;
    }
    std::cout << bashoLabel(meeting.course) << " " << meeting.date.substr(0, 2) << "/"
              << meeting.date.substr(2, 2) << "/" << meeting.date.substr(4, 2)
              << "の出馬表・競走馬データを削除しました。\n";
    return 0;
}

namespace {

std::size_t storedMeetingCount(DataSession& data) {
    Database* tran = data.existingTran();
    if (!tran) return 0;
    std::size_t count = 0;
    for (const auto& list : meetingsByCourse(*tran)) count += list.size();
    return count;
}

}  // namespace

int optionsCommand(DataSession& data, const std::array<int, 7>* weights, const std::string* name) {
    // One connection for reading, storing and reading back, as the options dialog keeps one.
    Database& mast = data.mast();
    OptionsValues v = loadConstantsIntoOptions(mast);
    const OptionsValues before = v;
    if (weights || name) {
        if (weights) v.sliders = *weights;
        if (name) {
            v.userName = *name;
        } else if (const auto problem = storedUserNameProblem(v.userName); !problem.empty()) {
            // The row is written whole: a stored name that cannot be written back must be
            // replaced first.
            std::cerr << "定数の表 (mast.mdb) に保存されている名前を書き戻せません: " << problem
                      << " --name で名前も指定してください。\n";
            return 1;
        }
        saveConstants(mast, v.sliders, v.userName);
        v = loadConstantsIntoOptions(mast);
    }
    std::cout << "名前: " << withReplacementCharacters(v.userName) << "\n重み (0～3):\n";
    std::size_t captionWidth = 0;
    for (const auto caption : kWeightCaptions) {
        captionWidth = std::max(captionWidth, displayWidth(caption));
    }
    for (std::size_t i = 0; i < v.sliders.size(); ++i) {
        std::cout << "  " << kWeightCaptions[i]
                  << std::string(captionWidth - displayWidth(kWeightCaptions[i]) + 2, ' ')
                  << v.sliders[i] << "\n";
    }
    // The weights are used when the engine runs; the name is read each time a card is shown.
    if (v.sliders != before.sliders) {
        const std::size_t stored = storedMeetingCount(data);
        std::cout << "\n新しい重みは次の取り込みから予想に使われます。";
        if (stored > 0) {
            std::cout << "保存されている " << stored
                      << " 開催の予想は変更前の重みで計算されたままです (三人目の予想家の値)。"
                         "新しい重みで計算し直すには recompute を実行してください "
                         "(すべての開催なら zelvanor-cli recompute --courses "
                         "01,02,03,04,05,06,07,08,09,10)。";
        }
        std::cout << "\n";
    }
    return 0;
}

}  // namespace zelvanor::cli
