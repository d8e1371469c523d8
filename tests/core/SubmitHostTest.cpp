#include "core/target/SubmitHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Params = std::vector<std::pair<std::string, std::string>>;

Params walk(CSubmitHost& host)
{
    Params seen;
    CPostParam param;
    for (bool more = host.GetFirstParam(param); more; more = host.GetNextParam(param))
        seen.emplace_back(param.m_strName, param.m_strValue);
    return seen;
}

void fill(CSubmitHost& host, const Params& params)
{
    for (const auto& [name, value] : params)
        host.AddParam(CPostParam(name, value));
}

} // namespace

TEST(SubmitHost, NewRecordIsEmpty)
{
    CSubmitHost host;
    EXPECT_TRUE(host.m_strUrl.empty());
    CPostParam untouched("keep", "me");
    EXPECT_FALSE(host.GetFirstParam(untouched));
    EXPECT_FALSE(host.GetNextParam(untouched));
    EXPECT_EQ(untouched, CPostParam("keep", "me"));
    EXPECT_EQ(host.GetPostData(), "");
}

TEST(SubmitHost, WalkYieldsDuplicatesInOrderThenStaysAtEnd)
{
    CSubmitHost host;
    fill(host, {{"a", "1"}, {"b", "2"}, {"a", "1"}});
    EXPECT_EQ(walk(host), (Params{{"a", "1"}, {"b", "2"}, {"a", "1"}}));

    CPostParam param("x", "y");
    EXPECT_FALSE(host.GetNextParam(param));
    EXPECT_FALSE(host.GetNextParam(param));
    EXPECT_EQ(param, CPostParam("x", "y"));
    EXPECT_TRUE(host.GetFirstParam(param));
    EXPECT_EQ(param, CPostParam("a", "1"));
}

TEST(SubmitHost, DeleteTakesFirstMatchOnly)
{
    CSubmitHost host;
    fill(host, {{"a", "1"}, {"b", "2"}, {"a", "1"}});
    EXPECT_TRUE(host.DeleteParam(CPostParam("a", "1")));
    EXPECT_EQ(walk(host), (Params{{"b", "2"}, {"a", "1"}}));
    EXPECT_TRUE(host.DeleteParam(CPostParam("a", "1")));
    EXPECT_EQ(walk(host), (Params{{"b", "2"}}));
    EXPECT_FALSE(host.DeleteParam(CPostParam("a", "1")));
    EXPECT_EQ(walk(host), (Params{{"b", "2"}}));
}

TEST(SubmitHost, EditKeepsPositionAndTakesFirstMatch)
{
    CSubmitHost host;
    fill(host, {{"a", "1"}, {"b", "2"}, {"a", "1"}});
    EXPECT_TRUE(host.EditParam(CPostParam("a", "1"), CPostParam("c", "3")));
    EXPECT_EQ(walk(host), (Params{{"c", "3"}, {"b", "2"}, {"a", "1"}}));
}

TEST(SubmitHost, MatchingIsExact)
{
    CSubmitHost host;
    fill(host, {{"Name", "x"}});
    for (const CPostParam& miss : {CPostParam("name", "x"), CPostParam("Name", "x "),
             CPostParam("Name", "X"), CPostParam(" Name", "x"), CPostParam("Name", "")}) {
        EXPECT_FALSE(host.EditParam(miss, CPostParam("z", "z")));
        EXPECT_FALSE(host.DeleteParam(miss));
    }
    EXPECT_EQ(walk(host), (Params{{"Name", "x"}}));
}

TEST(SubmitHost, DeleteAll)
{
    CSubmitHost empty;
    empty.DeleteAllParams();
    CPostParam param;
    EXPECT_FALSE(empty.GetFirstParam(param));

    CSubmitHost host;
    fill(host, {{"a", "1"}, {"b", "2"}});
    CPostParam first;
    ASSERT_TRUE(host.GetFirstParam(first));
    host.DeleteAllParams();
    EXPECT_FALSE(host.GetNextParam(param));
    EXPECT_FALSE(host.GetFirstParam(param));
}

TEST(SubmitHost, DeletingTheParameterUnderTheCursorEndsTheWalkSafely)
{
    CSubmitHost host;
    fill(host, {{"a", "1"}, {"b", "2"}, {"c", "3"}});
    CPostParam param;
    ASSERT_TRUE(host.GetFirstParam(param)); // the cursor now designates b=2
    EXPECT_TRUE(host.DeleteParam(CPostParam("b", "2")));
    EXPECT_FALSE(host.GetNextParam(param));
    EXPECT_EQ(walk(host), (Params{{"a", "1"}, {"c", "3"}}));
}

TEST(SubmitHost, WalksOnOwnPositionsDoNotDisturbEachOther)
{
    CSubmitHost host;
    fill(host, {{"a", "1"}, {"b", "2"}, {"c", "3"}});

    CPostParam viaCursor;
    ASSERT_TRUE(host.GetFirstParam(viaCursor));

    // A second walk on a position of its own, and a body, in the middle of the first.
    CSubmitHost::ParamPosition pos;
    CPostParam viaPosition;
    Params second;
    for (bool more = host.GetFirstParam(pos, viaPosition); more;
         more = host.GetNextParam(pos, viaPosition))
        second.emplace_back(viaPosition.m_strName, viaPosition.m_strValue);
    EXPECT_EQ(second, (Params{{"a", "1"}, {"b", "2"}, {"c", "3"}}));
    EXPECT_EQ(host.GetPostData(), "a=1&b=2&c=3");

    ASSERT_TRUE(host.GetNextParam(viaCursor));
    EXPECT_EQ(viaCursor, CPostParam("b", "2"));
    ASSERT_TRUE(host.GetNextParam(viaCursor));
    EXPECT_EQ(viaCursor, CPostParam("c", "3"));
    EXPECT_FALSE(host.GetNextParam(viaCursor));
}

struct BodyCase
{
    const char* name;
    Params params;
    std::string body;
};

class PostDataExamples : public testing::TestWithParam<BodyCase>
{
};

TEST_P(PostDataExamples, Body)
{
    CSubmitHost host;
    fill(host, GetParam().params);
    EXPECT_EQ(host.GetPostData(), GetParam().body);
}

INSTANTIATE_TEST_SUITE_P(Bodies, PostDataExamples,
    testing::Values(BodyCase{"none", {}, ""}, BodyCase{"emptyPair", {{"", ""}}, "="},
        BodyCase{"namesUnencoded", {{"furl", "see: a/b?c=1"}, {"x y", "1 2"}},
            "furl=see%3A%20a%2Fb%3Fc%3D1&x y=1%202"},
        BodyCase{"duplicatesRepeated", {{"a", "1"}, {"a", "1"}}, "a=1&a=1"},
        BodyCase{"browserExample", {{"a", "1"}, {"b", "x y"}}, "a=1&b=x%20y"},
        BodyCase{"nulInNameKept", {{std::string("n\0m", 3), "v"}}, std::string("n\0m=v", 5)}),
    [](const testing::TestParamInfo<BodyCase>& info) { return info.param.name; });
