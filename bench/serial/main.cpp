// serial_bench: TComm, QSerialPort and a bare poll()+read() loop, side by
// side on one pty pair in one run. Prints figures; judges nothing.
//
//   serial_bench [--quick]
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>
#include <cstring>
#include <map>
#include <thread>
#include <vector>

#include "measure.h"
#include "subject.h"
#include "timer_probe.h"

namespace bench {
namespace {

struct Settings {
    int rounds;
    std::size_t bytes;
    int latencySamples;
    std::chrono::milliseconds idle;
};

struct Figures {
    std::vector<double> rxMBs, rxCpuPerMB, txMBs, txCpuPerMB, latencyMs;
    long idleWakeups = -1;
    bool intact = true;
};

// The device side of a receive measurement: writes the stream to the master.
double FeedMaster(const Pty& pty, std::size_t bytes) {
    std::vector<char> block(65536);
    for (std::size_t sent = 0; sent < bytes;) {
        const std::size_t n = std::min(block.size(), bytes - sent);
        StreamFill(block.data(), n, sent);
        for (std::size_t off = 0; off < n;) {
            const ssize_t w = ::write(pty.Master(), block.data() + off, n - off);
            if (w > 0) {
                off += static_cast<std::size_t>(w);
            } else {
                pollfd p{pty.Master(), POLLOUT, 0};
                ::poll(&p, 1, -1);
            }
        }
        sent += n;
    }
    return ThreadCpuSeconds();
}

// The device side of a transmit measurement: reads and checks the stream.
double DrainMaster(const Pty& pty, std::size_t bytes, int doneFd, bool& intact) {
    std::vector<char> block(65536);
    for (std::size_t got = 0; got < bytes;) {
        pollfd p{pty.Master(), POLLIN, 0};
        ::poll(&p, 1, -1);
        const ssize_t n = ::read(pty.Master(), block.data(), block.size());
        if (n <= 0) continue;
        intact &= StreamMatches(block.data(), static_cast<std::size_t>(n), got);
        got += static_cast<std::size_t>(n);
    }
    const double cpu = ThreadCpuSeconds();
    const std::uint64_t one = 1;
    [[maybe_unused]] auto w = ::write(doneFd, &one, sizeof one);
    return cpu;
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

void MeasureReceive(Subject& s, const Pty& pty, const Settings& cfg, Figures& f) {
    double peerCpu = 0;
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    std::thread device([&] { peerCpu = FeedMaster(pty, cfg.bytes); });
    f.intact &= s.Receive(cfg.bytes);
    const auto t1 = Clock::now();
    device.join();
    const double mb = static_cast<double>(cfg.bytes) / 1e6;
    f.rxMBs.push_back(mb / Seconds(t1 - t0));
    f.rxCpuPerMB.push_back((ProcessCpuSeconds() - cpu0 - peerCpu) * 1e3 / mb);
}

void MeasureTransmit(Subject& s, const Pty& pty, const Settings& cfg, Figures& f) {
    const int done = ::eventfd(0, EFD_CLOEXEC);
    double peerCpu = 0;
    bool intact = true;
    const double cpu0 = ProcessCpuSeconds();
    const auto t0 = Clock::now();
    std::thread device([&] { peerCpu = DrainMaster(pty, cfg.bytes, done, intact); });
    s.Send(cfg.bytes, 32768, done);
    const auto t1 = Clock::now();
    device.join();
    ::close(done);
    const double mb = static_cast<double>(cfg.bytes) / 1e6;
    f.txMBs.push_back(mb / Seconds(t1 - t0));
    f.txCpuPerMB.push_back((ProcessCpuSeconds() - cpu0 - peerCpu) * 1e3 / mb);
    f.intact &= intact;
}

void MeasureLatency(Subject& s, const Pty& pty, const Settings& cfg, Figures& f) {
    const std::string reply(64, 'R');
    for (int i = 0; i < cfg.latencySamples; ++i) {
        if (::write(pty.Master(), reply.data(), reply.size()) != static_cast<ssize_t>(reply.size()))
            throw std::runtime_error("write reply");
        const auto written = Clock::now();
        const auto handed = s.AwaitReply();
        f.latencyMs.push_back(Seconds(handed - written - kInterval) * 1e3);
    }
}

void PrintRow(const char* figure, const char* unit, const std::vector<const char*>& names,
              const std::map<std::string, Figures>& all, std::vector<double> Figures::*values,
              bool withP95) {
    std::printf("%s (%s)\n", figure, unit);
    for (const char* name : names) {
        const Summary s = Summarize(all.at(name).*values);
        if (withP95) {
            std::printf("  %-16s min %9.3f  median %9.3f  p95 %9.3f  max %9.3f\n", name, s.min,
                        s.median, s.p95, s.max);
        } else {
            std::printf("  %-16s min %9.3f  median %9.3f  max %9.3f\n", name, s.min, s.median,
                        s.max);
        }
    }
}

int Run(bool quick) {
    const Settings cfg = quick ? Settings{3, 16u << 20, 3, std::chrono::milliseconds(2000)}
                               : Settings{5, 64u << 20, 6, std::chrono::milliseconds(10000)};
    std::vector<std::unique_ptr<Subject>> subjects;
    subjects.push_back(MakeTCommSubject());
    subjects.push_back(MakeQtSubject());
    subjects.push_back(MakeBareSubject());
    std::vector<const char*> names;
    for (const auto& s : subjects) names.push_back(s->Name());

    Pty pty;
    std::map<std::string, Figures> all;
    std::printf("serial_bench: %d rounds, %zu MiB each way per round, %d replies per round\n",
                cfg.rounds, cfg.bytes >> 20, cfg.latencySamples);
    for (int round = 0; round < cfg.rounds; ++round) {
        for (const auto& s : subjects) {
            Figures& f = all[s->Name()];
            pty.Drain();
            s->Open(pty.SlavePath());
            MeasureReceive(*s, pty, cfg, f);
            MeasureTransmit(*s, pty, cfg, f);
            MeasureLatency(*s, pty, cfg, f);
            s->Close();
        }
        std::printf("  round %d done\n", round + 1);
        std::fflush(stdout);
    }
    for (const auto& s : subjects) {
        pty.Drain();
        s->Open(pty.SlavePath());
        all[s->Name()].idleWakeups = s->IdleWakeups(cfg.idle);
        s->Close();
    }

    std::printf("\n");
    PrintRow("receive throughput", "MB/s", names, all, &Figures::rxMBs, false);
    PrintRow("receive CPU, the device's side left out", "CPU ms per MB", names, all,
             &Figures::rxCpuPerMB, false);
    PrintRow("transmit throughput", "MB/s", names, all, &Figures::txMBs, false);
    PrintRow("transmit CPU, the device's side left out", "CPU ms per MB", names, all,
             &Figures::txCpuPerMB, false);
    PrintRow("reply latency beyond the 300 ms interval", "ms", names, all, &Figures::latencyMs,
             true);
    std::printf("the interval timer alone, overshoot of one 300 ms wait (ms)\n");
    for (const auto& [mechanism, late] : MeasureIntervalTimers(cfg.latencySamples)) {
        const Summary t = Summarize(late);
        std::printf("  %-20s min %9.3f  median %9.3f  max %9.3f\n", mechanism.c_str(), t.min,
                    t.median, t.max);
    }
    std::printf("wake-ups of the serial threads in %.0f s of idle open port\n",
                static_cast<double>(cfg.idle.count()) / 1000.0);
    for (const char* name : names) std::printf("  %-16s %ld\n", name, all[name].idleWakeups);

    const auto ratio = [&](const char* a, const char* b, std::vector<double> Figures::*v) {
        return Summarize(all[a].*v).median / Summarize(all[b].*v).median;
    };
    std::printf("medians, TComm against the others\n");
    std::printf("  receive  throughput  x%.2f QSerialPort  x%.2f bare loop\n",
                ratio("TComm", "QSerialPort", &Figures::rxMBs),
                ratio("TComm", "bare poll+read", &Figures::rxMBs));
    std::printf("  transmit throughput  x%.2f QSerialPort  x%.2f bare loop\n",
                ratio("TComm", "QSerialPort", &Figures::txMBs),
                ratio("TComm", "bare poll+read", &Figures::txMBs));
    std::printf("  receive  CPU per MB  x%.2f bare loop;  transmit CPU per MB  x%.2f bare loop\n",
                ratio("TComm", "bare poll+read", &Figures::rxCpuPerMB),
                ratio("TComm", "bare poll+read", &Figures::txCpuPerMB));
    bool intact = true;
    for (const char* name : names) intact &= all[name].intact;
    std::printf("data %s\n", intact ? "byte-exact in every run" : "CORRUPTED in some run");
    return intact ? 0 : 1;
}

}  // namespace
}  // namespace bench

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    return bench::Run(quick);
}
