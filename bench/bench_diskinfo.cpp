// What reading a volume costs, beside Qt's storage query and a bare statvfs.
#include "components/disk/Diskinfo.h"

#include <QStorageInfo>
#include <benchmark/benchmark.h>
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
