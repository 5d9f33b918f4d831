// What reading a volume costs, beside Qt's storage query and a bare statvfs.
// Set TILVO_BENCH_VOLUME to a mounted volume that udev has no record of (a
// loop-mounted ext4 image, say: scripts/diskinfo-live.sh makes one) to
// measure a query that probes the device, with the probe kept and without.
#include "components/disk/Diskinfo.h"
#include "components/disk/VolumeSource.h"

#include <QStorageInfo>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <sys/statvfs.h>

namespace {

void BM_DiskInfoSetDriveRoot(benchmark::State& state)
{
    TDiskInfo info;
    for (auto _ : state) {
        info.SetDrive("/");
        benchmark::DoNotOptimize(info.DriveFree());
    }
}
BENCHMARK(BM_DiskInfoSetDriveRoot);

const char* ProbedVolume()
{
    return std::getenv("TILVO_BENCH_VOLUME");
}

void BM_DiskInfoSetDriveProbed(benchmark::State& state)
{
    const bool keep = state.range(0) != 0;
    if (!ProbedVolume()) {
        state.SkipWithError("TILVO_BENCH_VOLUME is not set");
        return;
    }
    TDiskInfo info;
    SystemVolumeSource().ForgetProbedIdentities();
    for (auto _ : state) {
        if (!keep)
            SystemVolumeSource().ForgetProbedIdentities();
        info.SetDrive(ProbedVolume());
        benchmark::DoNotOptimize(info.VolumeName());
    }
    state.SetLabel(keep ? "probe kept" : "probed every time");
}
BENCHMARK(BM_DiskInfoSetDriveProbed)->Arg(0)->Arg(1);

void BM_DiskInfoVolumes(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(TDiskInfo::Volumes());
}
BENCHMARK(BM_DiskInfoVolumes);

// Size, free space and file-system type, read afresh.
void BM_QStorageInfoRoot(benchmark::State& state)
{
    QStorageInfo storage(QStringLiteral("/"));
    for (auto _ : state) {
        storage.refresh();
        benchmark::DoNotOptimize(storage.bytesAvailable());
        benchmark::DoNotOptimize(storage.fileSystemType());
    }
}
BENCHMARK(BM_QStorageInfoRoot);

void BM_StatvfsRoot(benchmark::State& state)
{
    struct statvfs figures {};
    for (auto _ : state) {
        statvfs("/", &figures);
        benchmark::DoNotOptimize(figures.f_bavail);
    }
}
BENCHMARK(BM_StatvfsRoot);

}  // namespace

BENCHMARK_MAIN();
