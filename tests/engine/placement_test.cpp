// Placing a dropped body onto straight and circular tracks.
#include "engine/placement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "engine/solvers.h"

namespace quorrel {
namespace {

struct PlacementFixture {
    std::unique_ptr<Model> m = make_model();
    int body(double x, double y, double radius = 1) {
        int i = object_count(*m);
        MovingObject& o = m->objects[i];
        o.kind = KIND_BODY;
        o.x0 = x;
        o.y0 = y;
        o.rest_mass = 1;
        o.radius = radius;
        return i;
    }
    void track(double x1, double y1, double x2, double y2) {
        int k = 0;
        while (m->TB.rec[k].a != 0 || m->TB.rec[k].b != 0) ++k;
        m->TB.rec[k] = {};
        m->TB.rec[k].x1 = x1, m->TB.rec[k].y1 = y1, m->TB.rec[k].x2 = x2, m->TB.rec[k].y2 = y2;
        tb_line(*m, k);
    }
    MovingObject& o(int i) { return m->objects[i]; }
};

struct Asker {
    Placement answer;
    int calls = 0;
    static Placement ask(void* self) {
        auto* a = static_cast<Asker*>(self);
        ++a->calls;
        return a->answer;
    }
};

TEST(TrackPlacement, AgainstAHorizontalTrackWithinOneAndAHalfRadii) {
    PlacementFixture f;
    f.track(-10, 0, 10, 0);
    const int near = f.body(1, 1.4);
    const int below = f.body(2, -1.2);
    const int far = f.body(3, 1.6);
    Asker asker{Placement::Against};
    EXPECT_TRUE(s_obj_TB_CT_position(*f.m, near, Asker::ask, &asker));
    EXPECT_TRUE(s_obj_TB_CT_position(*f.m, below, Asker::ask, &asker));
    EXPECT_FALSE(s_obj_TB_CT_position(*f.m, far, Asker::ask, &asker));
    EXPECT_EQ(asker.calls, 2);  // not asked when no track is near
    EXPECT_EQ(f.o(near).y0, 1.0);
    EXPECT_EQ(f.o(near).x0, 1.0);
    EXPECT_EQ(f.o(below).y0, -1.0);
    EXPECT_EQ(f.o(far).y0, 1.6);
}

TEST(TrackPlacement, ThreadedAndCustomOnASlantedTrack) {
    PlacementFixture f;
    f.track(-10, -10, 10, 10);
    const int threaded = f.body(0, 1);
    const int against = f.body(0, 1);
    const int custom = f.body(0, 1);
    Asker t{Placement::Threaded}, a{Placement::Against}, c{Placement::Custom};
    s_obj_TB_CT_position(*f.m, threaded, Asker::ask, &t);
    s_obj_TB_CT_position(*f.m, against, Asker::ask, &a);
    s_obj_TB_CT_position(*f.m, custom, Asker::ask, &c);
    EXPECT_NEAR(f.o(threaded).x0, 0.5, 1e-12);
    EXPECT_NEAR(f.o(threaded).y0, 0.5, 1e-12);
    // One radius from the line, on the side it was dropped.
    EXPECT_NEAR((f.o(against).y0 - f.o(against).x0) / std::sqrt(2.0), 1.0, 1e-12);
    EXPECT_EQ(f.o(custom).x0, 0.0);
    EXPECT_EQ(f.o(custom).y0, 1.0);
    // A null question counts as the custom position.
    EXPECT_TRUE(s_obj_TB_CT_position(*f.m, custom, nullptr, nullptr));
    EXPECT_EQ(f.o(custom).y0, 1.0);
}

TEST(TrackPlacement, ArcsUseTheirStoredRangeOnly) {
    PlacementFixture f;
    f.m->CT.rec[0] = {0, 0, 0, PI, 10, 0, 0};
    f.m->CT.rec[1] = {100, 0, -PI / 4, PI / 4, 10, 0, 0};
    const int outside = f.body(0, 11);
    const int inside = f.body(0, 9.5);
    const int across_zero = f.body(100 + 11 * std::cos(-0.1), 11 * std::sin(-0.1));
    Asker a{Placement::Against};
    s_obj_TB_CT_position(*f.m, outside, Asker::ask, &a);
    s_obj_TB_CT_position(*f.m, inside, Asker::ask, &a);
    EXPECT_NEAR(f.o(outside).y0, 11.0, 1e-12);
    EXPECT_NEAR(f.o(inside).y0, 9.0, 1e-12);
    // Direction 354 degrees lies only in the range raised by 2 pi: not placed.
    EXPECT_FALSE(s_obj_TB_CT_position(*f.m, across_zero, Asker::ask, &a));

    Asker t{Placement::Threaded};
    s_obj_TB_CT_position(*f.m, inside, Asker::ask, &t);
    EXPECT_NEAR(std::hypot(f.o(inside).x0, f.o(inside).y0), 10.0, 1e-12);
}

}  // namespace
}  // namespace quorrel
