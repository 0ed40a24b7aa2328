#include "script/evaluator.h"

#include <gtest/gtest.h>

#include "fakes.h"
#include "model/numtext.h"

namespace quorrel {
namespace {

using testing::FakePlatform;
using testing::set_var;
using testing::var;

constexpr const char* FAILS = "error";
constexpr const char* NO_BOX = "<no box>";

struct ExprCase {
    const char* text;          // UTF-8
    const char* expected;      // the value text an assignment stores, or FAILS
    const char* box = NO_BOX;  // the message box text, when one is shown
};

class Evaluator : public ::testing::Test {
protected:
    void SetUp() override {
        m = make_model();
        s = make_script(&platform);
    }
    // The value text `x=text` stores, or FAILS; the box shown goes to `box`.
    std::string assign(const std::string& text, std::string& box) {
        platform.messages.clear();
        set_var(*m, "out", "unchanged");
        bool ok = assign_bl(*s, *m, utf8_to_gbk("out=" + text));
        box = platform.messages.empty() ? NO_BOX : platform.messages.back();
        EXPECT_LE(platform.messages.size(), 1u) << text;
        if (!ok) {
            EXPECT_EQ(var(*m, "out"), "unchanged") << "a failed assignment changed the variable: " << text;
            return FAILS;
        }
        return var(*m, "out");
    }
    void check(const std::vector<ExprCase>& cases) {
        for (const ExprCase& c : cases) {
            std::string box;
            EXPECT_EQ(assign(c.text, box), c.expected) << c.text;
            EXPECT_EQ(box, c.box) << c.text;
        }
    }
    int condition(const std::string& text) { return eval_condition(*s, *m, utf8_to_gbk(text)); }

    FakePlatform platform;
    std::unique_ptr<Model> m;
    std::unique_ptr<Script> s;
};

TEST_F(Evaluator, ArithmeticOrderAndEmptyOperands) {
    check({
        {"1+2*3", "7"},
        {"(1+2)*3", "9"},
        {"2-3-4", "-5"},
        {"8/2/2", "2"},
        {"-5", "-5"},
        {"2*(0-3)", "-6"},
        {"2*-3", FAILS, ""},  // the additive split leaves "2*" with an empty right operand
        {"5-", FAILS, ""},
        {"2*(3)", FAILS, "(3)"},  // a parenthesised leaf is not a number
        {"((1+2))", FAILS},       // only one pair is removed: the root stays a leaf
        {"(1+2)", "3"},
        {"1/0", FAILS},
        {"", FAILS},
        {"1+", FAILS, ""},
    });
}

TEST_F(Evaluator, SinglePrecisionTextRoundTrips) {
    check({
        {"0.1", "0.100000001490116"},
        {"3", "3"},
        {"0.1+0.2", "0.300000011920929"},
        {"2*(1/3)", "0.666666686534882"},
        {"0.00001", "9.99999974737875E-6"},
        {"0.0001", "9.99999974737875E-5"},
        {"100000*100000", "10000000000"},
    });
}

TEST_F(Evaluator, VariableSubstitution) {
    set_var(*m, "x", "-2");
    set_var(*m, "small", "0.00005");
    set_var(*m, "big", "1E5");
    set_var(*m, "tiny", "1E-5");
    set_var(*m, "word", "abc");
    set_var(*m, "速度", "4");
    set_var(*m, "cost", "5");
    set_var(*m, "absx", "5");
    check({
        {"3*x", "-6"},  // x goes in as (0-2)
        {"x*x", "4"},
        {"small", "0"},  // magnitudes up to 0.0001 count as 0
        {"3+small", "3"},
        {"tiny+1", "1"},
        {"word+1", "1"},   // a value that is no number counts as 0
        {"big+1", FAILS},  // "E5" of the inserted text is taken as a name
        {"1e5", FAILS},    // so is "e5"
        {"速度*2", "8"},
        {"unknown+1", FAILS},
        {"cost", FAILS},  // "cos" is taken as a function
        {"absx", "2"},    // taken as abs applied to x
        {"t", "0"},
    });
}

TEST_F(Evaluator, Functions) {
    check({
        {"pow(2,3)", "8"},
        {"pow(-2,3)", "-8"},
        {"pow(2,0.5)", "1.41421353816986"},
        {"pow(2,pow(3,2))", "512"},
        {"pow(pow(2,3),2)", FAILS},
        {"pow(2)", FAILS},
        {"pow(-2,0.5)", FAILS},
        {"sqrt(4)", "2"},
        {"sqrt(2+2)", "2"},
        {"sqrt(0)", FAILS},
        {"log(0)", FAILS},
        {"log10(100)", "2"},
        {"acos(1.5)", FAILS},
        {"asin(1)", "1.57079637050629"},
        {"signum(-3)", "-1"},
        {"fd(0)", "0"},
        {"fd(2)", "1"},
        {"cos(3.14159265)", "-1"},
        {"sin(1)", "0.841470956802368"},
        {"abs(0-3)", "3"},
        {"fabs(0-3)", "3"},
        {"tg(0)", "0"},
        {"arctan(0)", "0"},
        {"exp(0)", "1"},
        {"exp(1000)", FAILS},
        {"pd(3)", FAILS},
        {"COS(0)", FAILS},  // function words are case-sensitive
        {"cos(0", FAILS},
        {"2*cos(0)", "2"},
    });
}

TEST_F(Evaluator, Comparisons) {
    set_var(*m, "a", "1");
    EXPECT_EQ(condition("1=1.005"), 1);   // "=" has a tolerance of 0.01
    EXPECT_EQ(condition("1!=1.005"), 1);  // "!=" is exact
    EXPECT_EQ(condition("1=1.02"), 0);
    EXPECT_EQ(condition("2>=2"), 1);
    EXPECT_EQ(condition("1<=0"), 0);
    EXPECT_EQ(condition("3>2"), 1);
    EXPECT_EQ(condition("3<2"), 0);
    EXPECT_EQ(condition("(a>0)"), 1);
    EXPECT_EQ(condition("a==1"), -1);  // the right operand "=1" is no number
    EXPECT_EQ(condition("5"), -1);     // no comparison operator
    EXPECT_EQ(condition("q>1"), -1);
}

TEST_F(Evaluator, ConditionsHaveNoPrecedence) {
    set_var(*m, "a", "2");
    set_var(*m, "b", "0");
    set_var(*m, "c", "0");
    EXPECT_EQ(condition("a>1或b>2和c>3"), 0);  // (a>1 or b>2) and c>3
    EXPECT_EQ(condition("a>1或(b>2和c>3)"), 1);
    EXPECT_EQ(condition("((a>1和b<1))"), 1);
    EXPECT_EQ(condition("a>1和b>2或c<1"), 1);
    EXPECT_EQ(condition("a>1和q>2"), -1);
    EXPECT_EQ(condition("a>1和"), -1);
    EXPECT_EQ(condition("sin(a和b)>1"), -1);  // connectives only inside parentheses: no endless recursion
}

TEST_F(Evaluator, ConnectivesAreFoundOnCharacterBoundaries) {
    // The second byte of 兒 and the first of 虭 are the bytes of 和 (0xBA 0xCD).
    ASSERT_EQ(utf8_to_gbk("兒虭").substr(1, 2), "\xba\xcd");
    set_var(*m, "兒虭", "3");
    EXPECT_EQ(condition("兒虭>2"), 1);
    EXPECT_EQ(condition("兒虭>2和兒虭<4"), 1);
}

TEST_F(Evaluator, BoundsAreRejectedWithoutMessages) {
    std::string box;
    EXPECT_EQ(assign(std::string(503, '+'), box), FAILS);  // 504 operands do not fit the node table
    EXPECT_EQ(box, NO_BOX);
    EXPECT_EQ(assign("1" + std::string(503, '0'), box), FAILS);  // longer than a node text
    // Substitution that keeps growing the text stops at the node size.
    set_var(*m, "e5", "1e5");
    EXPECT_EQ(assign("e5", box), FAILS);
    EXPECT_EQ(condition(std::string(600, '(') + "1>0" + std::string(600, ')')), -1);
    // A value too large for single precision is not a finite number.
    set_var(*m, "huge", "999999999999999999999999999999999999999999");
    EXPECT_EQ(assign("huge", box), FAILS);
}

TEST_F(Evaluator, AssignmentNeedsAKnownName) {
    EXPECT_FALSE(assign_bl(*s, *m, "nobody=1"));
    EXPECT_FALSE(assign_bl(*s, *m, "=1"));
    EXPECT_FALSE(assign_bl(*s, *m, "justtext"));
    set_var(*m, "x", "7");
    EXPECT_FALSE(assign_bl(*s, *m, "x==1"));
    EXPECT_EQ(var(*m, "x"), "7");
}

TEST_F(Evaluator, TreeIsBuiltBreadthFirst) {
    ASSERT_TRUE(build_expr_tree(s->nodes, "(1+2)*sqrt(4)"));
    const ExprTable& t = s->nodes;
    ASSERT_EQ(t.count, 6);
    // Node 0's operands first, then the operands of node 1, then of node 2.
    EXPECT_STREQ(t.node[1].text, "(1+2)");
    EXPECT_EQ(t.node[1].op, OP_MUL);
    EXPECT_STREQ(t.node[2].text, "sqrt(4)");
    EXPECT_EQ(t.node[2].op, OP_MUL);
    EXPECT_STREQ(t.node[3].text, "1");
    EXPECT_EQ(t.node[3].parent, 1);
    EXPECT_EQ(t.node[4].op, OP_ADD);
    EXPECT_STREQ(t.node[5].text, "4");
    EXPECT_EQ(t.node[5].op, OP_SQRT);
    EXPECT_EQ(t.node[5].parent, 2);
    EXPECT_EQ(t.node[1].group, t.node[2].group);
    EXPECT_NE(t.node[3].group, t.node[5].group);
}

}  // namespace
}  // namespace quorrel
