#include "sim_help.h"

namespace vantel::sim {

const std::string& simHelpFooter() {
    static const std::string text = R"(
Each session is played as a player following the window would: before every
spin the stake shown next to BET is placed on every lit number, and a hit pays
36 times that stake. No setting changes the house edge: every bet returns
36/37 of its stake on average.

The report:
  Settings          the settings played
  Sequential        Sequential's own settings, when it is played
  Spins from        the seeded wheel and its pace, a file of recorded spins, or
                    (--exact) a fair wheel computed exactly
  Session length    the recorded file holds fewer spins than --spins asks
  Intervals         over what the intervals are taken: a recorded file is
                    replayed from its first spin in every session, so
                    sessions differ only in the clock and so in the draws of
                    Mode1 and Mode2; where every session replays it alike
                    (Sequential draws nothing), or one session is played,
                    the rates have no interval
  Stops at          the last spin, or the --bankroll and --table-limit
  Sessions          how many were played
  Spins played      all the spins entered (with --exact, a session's on
                    average); a session that ended early counts only the spins
                    it entered
  Net result        what a session won (above 0) or lost, returned minus
                    staked: the mean, the standard deviation and percentiles
                    over the sessions (half of them ended below the 50 %
                    figure), the lowest and the highest
  Drawdown          the deepest fall of a session below the best it had been:
                    the mean over the sessions and the deepest of all
  Largest outlay    the most placed on a single spin
  Endings           how often a session played all its spins, hit the stake
                    table's end (past row 17 of Martingale or row 999 of
                    Donald), stopped because the bankroll could not cover the
                    next outlay, or because a stake on one number was above
                    --table-limit; each with its 95 % confidence interval
  Staked, Returned  all that was placed, and all that the hits paid back
  Return to player  returned divided by staked, with its 95 % interval, beside
                    the wheel's 36/37; "no spin was bet" when nothing was
                    staked
  Hit rate          how often a spin with a stake came out on a lit number,
                    beside what a random bet on as many numbers gets (18 in 37
                    for 18 numbers)
With --exact the report adds:
  Lowest, highest probability  the chance of the lowest and of the highest
                    result; one less likely than a double can hold is written
                    "below 1e-308", never 0
  Largest outlay placed by  the share of sessions that ever place it
  Computed over     the size of the computation (states and net results)
  Endings by spin   from which spin each early ending can happen, and at which
                    spin on average when it does
  Longest run of lit misses  the chance of each longest run of lit misses in a
                    session, or why it is not computed

The chart (--chart FILE.png or FILE.svg, --chart-size) shows the 5-25-50-75-95
percentile bands of the net result over a session and its mean (a dashed red
line, named in the legend with where it ends) above the histogram of final
results. Where a loss tail lies far beyond the body of the results the
histogram's axis is logarithmic on both sides of 0, and the lowest bar is
marked with its share of sessions and the lowest result. The title names every
setting that shaped the run, with "up to" when sessions stopped early. No text
is smaller than 9 pixels and none overlaps another.

--exact computes the same report instead of sampling it: on a fair wheel a lit
suggestion is hit with probability (lit numbers)/37 on every spin, so the
figures follow from the rules alone, over every state of the stake progression
and every net result. The intervals have width 0 and the totals become
expectations a session. The drawdown is computed for Martingale only. Mode1
and Mode2 with Martingale fit thousands
of spins, Donald about a thousand, Sequential about 50; past that vantel-sim
says what is out of reach and plays --sessions sessions instead. --exact takes
no --spins-file, --journal or --csv.

The same --seed gives the same report, byte for byte, on any number of
threads. --spins-file reads only regular files, one number a line, # comments
allowed.

Exit status:
  0  the report and every file asked for were written
  1  a report, JSON, CSV, chart or --help could not be written in whole (one
     line on stderr names it)
  2  a bad option or input (one line on stderr, before anything is played))";
    return text;
}

} // namespace vantel::sim
