// TEMPORARY: every demo's text loads into the model its builder made.
#include <gtest/gtest.h>

#include "demos/demos.h"
#include "model/text_form.h"
#include "old_builders/old_demos.h"

namespace quorrel {
namespace {

std::string normal(Model& m) {
    const std::string bytes = write_experiment(m);
    auto back = make_model();
    LoadScratch scratch;
    EXPECT_TRUE(read_experiment(*back, bytes, scratch).ok);
    return write_experiment(*back);
}

TEST(TextVsBuilder, EveryTextGivesTheBuiltModel) {
    int n = 0;
    for (auto group : {basic_demos(), mechanism_demos(), motion_demos(), field_demos(), linked_demos()}) {
        for (const OldDemo& d : group) {
            SCOPED_TRACE(d.file_name);
            ASSERT_LT(n, (int)all_demos().size());
            EXPECT_STREQ(all_demos()[n].file_name, d.file_name);
            ++n;
            auto b = make_model();
            init_kept_settings(*b);
            reset_model(*b);
            d.build(*b);
            auto t = make_model();
            const LoadResult r = load_demo(*t, *find_demo(d.file_name));
            ASSERT_TRUE(r.ok) << r.message;
            const std::string raw_b = write_experiment(*b), raw_t = write_experiment(*t);
            const std::string nb = normal(*b), nt = normal(*t);
            EXPECT_TRUE(nb == nt);
            if (nb != nt) {
                const std::string jb = dump_json(*b), jt = dump_json(*t);
                std::size_t i = 0;
                while (i < jb.size() && i < jt.size() && jb[i] == jt[i]) ++i;
                ADD_FAILURE() << "dump differs at " << i << ":\nbuilder: " << jb.substr(i > 200 ? i - 200 : 0, 400)
                              << "\ntext: " << jt.substr(i > 200 ? i - 200 : 0, 400);
            }
            // Raw bytes differ only where the reader marks generated balls transparent.
            int diffs = 0;
            for (std::size_t i = 0; i < raw_b.size() && i < raw_t.size(); ++i) diffs += raw_b[i] != raw_t[i];
            EXPECT_EQ(raw_b.size(), raw_t.size());
            std::printf("%s raw byte differences: %d\n", d.file_name, diffs);
        }
    }
    EXPECT_EQ(n, (int)all_demos().size());
}

}  // namespace
}  // namespace quorrel
