#include "launch/ui/playclock.h"

#include <algorithm>

namespace vorlisk {

namespace {
// How often the programs of running plays are looked at.
constexpr std::chrono::milliseconds kLookEvery{500};

// Watches a program that the clock times too.
class SharedProgram : public StartedProgram {
  public:
    explicit SharedProgram(std::shared_ptr<StartedProgram> program)
        : program_(std::move(program)) {}
    StartOutcome Poll() override { return program_->Poll(); }
    bool Ended() override { return program_->Ended(); }

  private:
    std::shared_ptr<StartedProgram> program_;
};
}  // namespace

PlayClock::PlayClock(std::string path, QObject* parent)
    : QObject(parent), history_(std::move(path)) {
    history_.Read();
    timer_.setInterval(kLookEvery);
    connect(&timer_, &QTimer::timeout, this, &PlayClock::Look);
}

void PlayClock::Begin(const std::string& id, const std::string& name) {
    // A play that started nothing is no play.
    std::erase_if(plays_, [](const Play& play) { return play.programs == 0; });
    plays_.push_back({id, name, {}});
}

std::unique_ptr<StartedProgram> PlayClock::Time(std::unique_ptr<StartedProgram> program) {
    // A program that could not be started is no play.
    if (!program || plays_.empty() || !program->Poll().failure.empty()) return program;
    std::shared_ptr<StartedProgram> shared = std::move(program);
    plays_.back().running.push_back({shared, Clock::now()});
    ++plays_.back().programs;
    timer_.start();
    return std::make_unique<SharedProgram>(std::move(shared));
}

void PlayClock::Look() {
    bool counted = false;
    const Clock::time_point now = Clock::now();
    for (auto play = plays_.begin(); play != plays_.end();) {
        std::erase_if(play->running, [&](const Running& running) {
            if (!running.program->Ended()) return false;
            // A program that could not be run was not played.
            if (running.program->Poll().failure.empty())
                play->longest = std::max(play->longest, now - running.started);
            else
                --play->programs;
            return true;
        });
        if (play->programs == 0 || !play->running.empty()) {
            ++play;
            continue;
        }
        Count(*play, now);
        counted = true;
        play = plays_.erase(play);
    }
    if (std::ranges::all_of(plays_, [](const Play& play) { return play.running.empty(); }))
        timer_.stop();
    if (counted) emit played();
}

std::string PlayClock::Count(Play& play, Clock::time_point now) {
    Clock::duration longest = play.longest;
    for (const Running& running : play.running) longest = std::max(longest, now - running.started);
    const long long seconds =
        std::chrono::duration_cast<std::chrono::seconds>(longest + std::chrono::milliseconds(500))
            .count();
    history_.Add(play.id, play.name, seconds - play.counted,
                 std::chrono::duration_cast<std::chrono::seconds>(
                     std::chrono::system_clock::now().time_since_epoch())
                     .count());
    play.counted = seconds;
    WriteResult saved = history_.Save();
    return saved.ok ? std::string() : saved.reason;
}

std::string PlayClock::CountSoFar() {
    std::string reason;
    const Clock::time_point now = Clock::now();
    for (Play& play : plays_)
        if (play.programs > 0)
            if (std::string failed = Count(play, now); !failed.empty()) reason = failed;
    return reason;
}

}  // namespace vorlisk
