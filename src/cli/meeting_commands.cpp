#include <algorithm>
#include <iostream>
#include <nlohmann/json.hpp>

#include "commands.hpp"
#include "records/cp932.hpp"
#include "shell/codes.hpp"
#include "shell/constants.hpp"
#include "store/store.hpp"
#include "terminal.hpp"
#include "views/meetings.hpp"
#include "views/race_card.hpp"
#include "views/recompute.hpp"

namespace zelvanor::cli {

int meetingsCommand(const AppPaths& paths, bool json) {
    if (!std::filesystem::exists(paths.tranPath())) {
        if (json) std::cout << "[]\n";
        return 0;
    }
    Database tran(paths.tranPath());
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
    if (json) std::cout << all.dump(2) << "\n";
    return 0;
}

int recomputeCommand(const AppPaths& paths, const std::vector<std::string>& names,
                     const std::vector<std::string>& courses) {
    std::vector<Meeting> meetings;
    if (!names.empty()) {
        Database tran(paths.tranPath());
        for (const auto& name : names) {
            meetings.push_back(meetingOf(name));
            if (!tran.hasTable(meetings.back().raceTable)) {
                std::cerr << name << " の出馬表データがありません。\n";
                return 1;
            }
        }
    }
    for (const auto& course : courses) {
        if (course.size() != 2 || bashoLabel(course) == "？？") {
            std::cerr << course << " は競馬場のコード (01～10) ではありません。\n";
            return 2;
        }
    }
    if (!courses.empty()) {
        const auto more = meetingsOfCourses(paths, courses);
        meetings.insert(meetings.end(), more.begin(), more.end());
    }
    const int races = recomputeMeetings(paths, meetings, terminalProgress("再計算中"));
    clearProgress();
    std::cout << forTerminal(kRecomputedText) << "\n(" << meetings.size() << " 開催、" << races
              << " レース)\n";
    return 0;
}

int goingCommand(const AppPaths& paths, const std::string& name, const std::string& going) {
    const Meeting meeting = meetingOf(name);
    Going value;
    if (going == "good" || going == "良") {
        value = Going::Good;
    } else if (going == "heavy" || going == "重") {
        value = Going::Heavy;
    } else {
        std::cerr << going << " は馬場の状態ではありません (good または heavy)。\n";
        return 2;
    }
    Database tran(paths.tranPath());
    if (!tran.hasTable(meeting.raceTable)) {
        std::cerr << name << " の出馬表データがありません。\n";
        return 1;
    }
    setMeetingGoing(tran, meeting, value);
    std::cout << forTerminal(goingSetMessage(value)) << "\n";
    return 0;
}

int deleteCommand(const AppPaths& paths, const std::string& name) {
    const Meeting meeting = meetingOf(name);
    Database tran(paths.tranPath());
    if (!deleteMeeting(tran, meeting)) {
        std::cerr << name << " の出馬表データがありません。\n";
        return 1;
    }
    std::cout << bashoLabel(meeting.course) << " " << meeting.date.substr(0, 2) << "/"
              << meeting.date.substr(2, 2) << "/" << meeting.date.substr(4, 2)
              << "の出馬表・競走馬データを削除しました。\n";
    return 0;
}

int optionsCommand(const AppPaths& paths, const std::vector<int>& weights,
                   const std::string* name) {
    OptionsValues v = loadConstantsIntoOptions(paths);
    if (!weights.empty() || name) {
        if (!weights.empty()) {
            if (weights.size() != 7 ||
                std::any_of(weights.begin(), weights.end(), [](int w) { return w < 0 || w > 3; })) {
                std::cerr << "重みは 0～3 の数を７つ、コンマで区切って指定してください。\n";
                return 2;
            }
            std::copy(weights.begin(), weights.end(), v.sliders.begin());
        }
        if (name) {
            if (charCount(*name) > static_cast<std::size_t>(kUserNameMaxChars)) {
                std::cerr << "名前は " << kUserNameMaxChars << " 文字までです。\n";
                return 2;
            }
            v.userName = *name;
        }
        saveConstants(paths, v.sliders, v.userName);
        v = loadConstantsIntoOptions(paths);
    }
    std::cout << "名前: " << v.userName << "\n重み:";
    for (std::size_t i = 0; i < v.sliders.size(); ++i) {
        std::cout << " " << kWeightColumns[i] << "=" << v.sliders[i];
    }
    std::cout << "\n";
    return 0;
}

}  // namespace zelvanor::cli
