#pragma once
// Times the games that Play starts. A play begins with Play and ends when the last program it
// started has ended; the time of the program that ran longest is added to the game's play
// history. Games still running when the program closes count up to then.

#include <QObject>
#include <QTimer>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "launch/playtime.h"
#include "system/services.h"

namespace vorlisk {

class PlayClock : public QObject {
    Q_OBJECT
  public:
    // The history is kept in the file at `path`.
    PlayClock(std::string path, QObject* parent);

    const PlayHistory& History() const { return history_; }
    // A play of the game with `id` and `name` begins.
    void Begin(const std::string& id, const std::string& name);
    // Times `program`, started for the play begun last; answers a program to watch in its place.
    std::unique_ptr<StartedProgram> Time(std::unique_ptr<StartedProgram> program);
    // Counts every play still running up to now and saves, as the session is saved or ends;
    // the plays go on being timed, and count only their time beyond this when they end. The
    // reason when saving failed.
    std::string CountSoFar();

  signals:
    // A play was added to the history.
    void played();

  private:
    using Clock = std::chrono::steady_clock;  // the day played is the system clock's
    struct Running {
        std::shared_ptr<StartedProgram> program;
        Clock::time_point started;
    };
    struct Play {
        std::string id;
        std::string name;
        std::vector<Running> running;
        Clock::duration longest{};  // of the programs that have ended
        int programs = 0;           // started, less those that could not be run
        long long counted = 0;      // seconds already in the history
    };
    void Look();
    // Adds the play's time up to `now`, that of its longest program, beyond what it counted
    // before; the reason when saving failed.
    std::string Count(Play& play, Clock::time_point now);

    PlayHistory history_;
    std::vector<Play> plays_;
    QTimer timer_;
};

}  // namespace vorlisk
