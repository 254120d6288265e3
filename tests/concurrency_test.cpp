// Conversions on distinct objects from several threads at once, and the empty
// extent's first use from many threads. Run under ThreadSanitizer in CI.
#include "testSupport.h"

#include <atomic>
#include <thread>

using namespace Vorant;

// First in this file, so that the first use of nullExtent() races.
TEST(ConcurrencyTest, NullExtentFirstUseFromManyThreads)
{
    std::atomic<bool> go{false};
    std::vector<const Dt3dExtent*> seen(16, nullptr);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < seen.size(); ++i)
        threads.emplace_back([&, i] {
            while (!go.load())
                std::this_thread::yield();
            seen[i] = &Dt3dExtent::nullExtent();
        });
    go.store(true);
    for (auto& t : threads)
        t.join();
    for (const Dt3dExtent* p : seen)
        EXPECT_TRUE(p == seen[0] && p->empty());
}

TEST(ConcurrencyTest, ConversionsOnDistinctObjects)
{
    std::vector<int> failures(6, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t)
        threads.emplace_back([t, &failures] {
            // Each thread has its own ellipsoid and reference point; the global ellipsoid is only read.
            const DtReferenceEllipsoid ellipsoid(t % 2 ? DtED50 : DtWGS84);
            DtDegMinSec lat{}, lon{};
            lat.setLatFromDegrees(10.0 * t);
            lon.setLonFromDegrees(-120.0 + 30.0 * t);
            DtUtmReferencePoint utm(lat, lon, 0, 0, ellipsoid.mapDatum(), 0.9996);
            for (int i = 0; i < 2000; ++i) {
                const DtGeodeticCoord g(DtDeg2Rad(-60.0 + std::fmod(i * 0.37 + t, 120.0)),
                                        DtDeg2Rad(-120.0 + 30.0 * t + std::fmod(i * 0.011, 2.0)), 100.0 * t, &ellipsoid);
                DtGeodeticCoord back(&ellipsoid), global(g.lat(), g.lon(), 0.0);
                back.setGeocentric(g.geocentric());
                double e, n, la, lo;
                utm.geod2utm(g.lat(), g.lon(), &e, &n);
                utm.utm2geod(e, n, &la, &lo);
                failures[std::size_t(t)] += std::fabs(back.lat() - g.lat()) > 1e-7 || std::fabs(la - g.lat()) > 1e-6 ||
                                            !std::isfinite(DtGetHeadingFromGeocentric(global.geocentric(), DtTaitBryan(0.1, 0.2, 0.3)));
            }
        });
    for (auto& t : threads)
        t.join();
    for (int f : failures)
        EXPECT_EQ(f, 0);
}

// One grid serves every thread; an area grid reads the nodes it lacks from the
// file while the others do the same.
TEST(ConcurrencyTest, OneGeoidGridFromManyThreads)
{
    const std::string file = qmtest::writeGtx("threads.gtx", -90, -180, 2, 2, 91, 180,
                                              [](int r, int c) { return float(r * 7 % 13 + c * 0.01); });
    const auto area = std::make_shared<const DtGeoidGrid>(file, -10, -10, 10, 10);
    const DtGeoidGrid whole(file);
    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (std::size_t t = 0; t < mismatches.size(); ++t)
        threads.emplace_back([&, t] {
            DtGeodeticCoord coord;
            coord.setGeoidGrid(area, t % 2);
            for (int i = int(t); i < 4000; i += 2)
                mismatches[t] += area->undulation(i % 181 - 90, i * 0.37, i % 2) != whole.undulation(i % 181 - 90, i * 0.37, i % 2);
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}
