#include "InstrumentTable.h"

namespace {

constexpr PositionEntry kErhu[] = {
    {"1--(A4)", 48}, {"2--(D4)", 41}, {"2--(A5)", 60}, {"2--(D5)", 53}};
constexpr PositionEntry kZhonghu[] = {
    {"1--(D4)", 41}, {"2--(G3)", 34}, {"1--(D5)", 53}, {"2--(G4)", 46}};
constexpr PositionEntry kGaohu[] = {
    {"1--(D5)", 53}, {"2--(G4)", 46}, {"1--(D6)", 65}, {"2--(G5)", 58}};
constexpr PositionEntry kPipa[] = {
    {"1--(A3)", 36}, {"2--(E3)", 31}, {"3--(D3)", 29}, {"4--(A2)", 24}};

constexpr PositionEntry kGuzhengD[] = {
    {" 1--(D6) (1'')", 65}, {" 2--(B5) (6')", 62},  {" 3--(A5) (5')", 60},  {" 4--(#F5)(3')", 57},
    {" 5--(E5) (2')", 55},  {" 6--(D5) (1')", 53},  {" 7--(B4) (6)", 50},   {" 8--(A4) (5)", 48},
    {" 9--(#F4)(3)", 45},   {"10--(E4) (2)", 43},   {"11--(D4) (1)", 41},   {"12--(B3) (6.)", 38},
    {"13--(A3) (5.)", 36},  {"14--(#F3)(3.)", 33},  {"15--(E3) (2.)", 31},  {"16--(D3) (1.)", 29},
    {"17--(B2) (6..)", 26}, {"18--(A2) (5..)", 24}, {"19--(#F2)(3..)", 21}, {"20--(E2) (2..)", 19},
    {"21--(D2) (1..)", 17}};

constexpr PositionEntry kGuzhengG[] = {
    {" 1--(D6)(5')", 65},  {" 2--(B5)(3')", 62},  {" 3--(A5)(2')", 60},  {" 4--(G5)(1')", 58},
    {" 5--(E5)(6)", 55},   {" 6--(D5)(5)", 53},   {" 7--(B4)(3)", 50},   {" 8--(A4)(2)", 48},
    {" 9--(G4)(1)", 46},   {"10--(E4)(6.)", 43},  {"11--(D4)(5.)", 41},  {"12--(B3)(3.)", 38},
    {"13--(A3)(2.)", 36},  {"14--(G3)(1.)", 34},  {"15--(E3)(6..)", 31}, {"16--(D3)(5..)", 29},
    {"17--(B2)(3..)", 26}, {"18--(A2)(2..)", 24}, {"19--(G2)(1..)", 22}, {"20--(E2)(6...)", 19},
    {"21--(D2)(5...)", 17}};

constexpr PositionEntry kGuzhengC[] = {
    {" 1--(D6)(2'')", 65}, {" 2--(C6)(1'')", 63}, {" 3--(A5)(6')", 60},  {" 4--(G5)(5')", 58},
    {" 5--(E5)(3')", 55},  {" 6--(D5)(2')", 53},  {" 7--(C5)(1')", 51},  {" 8--(A4)(6)", 48},
    {" 9--(G4)(5)", 46},   {"10--(E4)(3)", 43},   {"11--(D4)(2)", 41},   {"12--(C4)(1)", 39},
    {"13--(A3)(6.)", 36},  {"14--(G3)(5.)", 34},  {"15--(E3)(3.)", 31},  {"16--(D3)(2.)", 29},
    {"17--(C3)(1.)", 27},  {"18--(A2)(6..)", 24}, {"19--(G2)(5..)", 22}, {"20--(E2)(3..)", 19},
    {"21--(D2)(2..)", 17}};

constexpr PositionEntry kGuzhengA[] = {
    {" 1--(#C6)(3')", 64},   {" 2--(B5) (2')", 62},   {" 3--(A5) (1')", 60},
    {" 4--(#F5)(6)", 57},    {" 5--(E5) (5)", 55},    {" 6--(#C5)(3)", 52},
    {" 7--(B4) (2)", 50},    {" 8--(A4) (1)", 48},    {" 9--(#F4)(6.)", 45},
    {"10--(E4) (5.)", 43},   {"11--(#C4)(3.)", 40},   {"12--(B3) (2.)", 38},
    {"13--(A3) (1.)", 36},   {"14--(#F3)(6..)", 33},  {"15--(E3) (5..)", 31},
    {"16--(#C3)(3..)", 28},  {"17--(B2) (2..)", 26},  {"18--(A2) (1..)", 24},
    {"19--(#F2)(6...)", 21}, {"20--(E2) (5...)", 19}, {"21--(#C2)(3...)", 16}};

constexpr PositionEntry kGuqinF[] = {
    {"1--(C2)__5(so)", 15}, {"2--(D2)__6(la)", 17}, {"3--(F2)__1(do)", 20}, {"4--(G2)__2(re)", 22},
    {"5--(A2)__3(mi)", 24}, {"6--(C3)__5(so)", 27}, {"7--(D3)__6(la)", 29}};

constexpr PositionEntry kYangqinLeftHighSemitone[] = {
    {"7''______(B6)", 74},  {"4''______(F6)", 68},  {"6''______(A6)", 72},  {"#2''_____(#D6)", 66},
    {"5''______(G6)", 70},  {"#1''_____(#C6)", 64}, {"4''______(F6)", 68},  {"1''______(C6)", 63},
    {"3''______(E6)", 67},  {"#6'______(#A5)", 61}, {"2''______(D6)", 65},  {"#5'______(#G5)", 59},
    {"1''______(C5)", 51},  {"#4'______(#F5)", 57}, {"#6'______(#A5)", 61}, {"#2'______(#D5)", 54},
    {"#5'______(#G5)", 59}, {"#1'______(#C5)", 52}};

constexpr PositionEntry kYangqinLeft[] = {
    {"#4''_______(#F6)", 69},     {"#6''/b7''__(#A6)", 73},     {"3''________(E6)", 67},
    {"#5''/b6''__(#G6)", 71},     {"2''________(D6)", 65},      {"#6'/b7'____(#A5)", 61},
    {"1''________(C6)", 63},      {"#5'/b6'____(#G5)", 59},     {"7'_________(B5)", 62},
    {"4'_________(F5)", 56},      {"6'_________(A5)", 60},      {"#2'/b3'____(#D5)", 54},
    {"5'_________(G5)", 58},      {"#1'/b2'____(#C5)", 52},     {"4'_________(F5)", 56},
    {"7__________(B4)", 50},      {"3'_________(E5)", 55},      {"6__________(A4)", 48},
    {"2'_________(D5)", 53},      {"5__________(G4)", 46},      {"1'_________(C5)", 51},
    {"4__________(F4)", 44},      {"b7/#6______(bB4/#A4)", 49}, {"b3/#2______(bE4/#D4)", 42},
    {"b6/#5______(bA4/#G4)", 47}, {"b2/#1______(bD4/#C4)", 40}};

constexpr PositionEntry kYangqinMiddle[] = {
    {"1'_______(C5)", 51},      {"b7/#6____(bB4/#A4)", 49}, {"b6/#5____(bA4/#G4)", 47},
    {"b5/#4____(bG4/#F4)", 45}, {"3________(E4)", 43},      {"2________(D4)", 41},
    {"1________(C4)", 39},      {"b7,/#6,__(bB3/#A3)", 37}, {"b6,/#5,__(bA3/#G3)", 35}};

constexpr PositionEntry kYangqinRight[] = {
    {"4_____(F4)", 44}, {"#2____(#D4)", 42}, {"#1____(#C4)", 40},
    {"7,____(B3)", 38}, {"6,____(A3)", 36},  {"5,____(G3)", 34},
    {"4,____(F3)", 32}, {"b3,___(bE3)", 30}, {"b2,___(bD3)", 28}};

constexpr PositionEntry kYangqinRightBass[] = {
    {"1______(C4)", 39}, {"b7,____(bB3)", 37}, {"b6,____(bA3)", 35}, {"b5,____(bG3)", 33},
    {"3,_____(E3)", 31}, {"2,_____(D3)", 29},  {"1,_____(C3)", 27},  {"7,,____(B2)", 26},
    {"6,,____(A2)", 24}, {"5,,____(G2)", 22},  {"4,,____(F2)", 20}};

constexpr PositionEntry kYangqinRightHalfBass[] = {
    {"#6,,____(#A2)", 25}, {"#5,,____(#G2)", 23}, {"#4,,____(#F2)", 21}, {"3,,_____(E2)", 19}};

constexpr PositionEntry kXiaoyuan[] = {
    {"1--(A4)", 48}, {"2--(D4)", 41}, {"3--(G3)", 34}, {"4--(C3)", 27}};
constexpr PositionEntry kZhongyuan[] = {
    {"1--(D4)", 41}, {"2--(G3)", 34}, {"3--(D3)", 29}, {"4--(G2)", 22}};
constexpr PositionEntry kDayuan[] = {
    {"1--(A3)", 36}, {"2--(D3)", 29}, {"3--(G2)", 22}, {"4--(C2)", 15}};
constexpr PositionEntry kLiuqin[] = {
    {"1--(D5)", 53}, {"2--(G4)", 46}, {"3--(D4)", 41}, {"4--(G3)", 34}};
constexpr PositionEntry kYueqin[] = {
    {"1--(D5)", 53}, {"2--(G4)", 46}, {"3--(D4)", 41}, {"4--(G3)", 34}};
constexpr PositionEntry kDaSanxian[] = {{"1--(G3)", 34}, {"2--(D3)", 29}, {"3--(G2)", 22}};
constexpr PositionEntry kXiaoSanxian[] = {{"1--(D4)", 41}, {"2--(A3)", 36}, {"3--(D3)", 29}};

constexpr PositionEntry kGuitar[] = {{"1--(E4)", 43}, {"2--(B3)", 38}, {"3--(G3)", 34},
                                     {"4--(D3)", 29}, {"5--(A2)", 24}, {"6--(E2)", 19}};
constexpr PositionEntry kUkulele[] = {
    {"1--(A5)", 60}, {"2--(E5)", 55}, {"3--(C5)", 51}, {"4--(G5)", 58}};
constexpr PositionEntry kViolin[] = {{"1--(E5)", 55}, {"2--(A4)", 48}, {"3--(D4)", 41},
                                     {"4--(G3)", 34}, {"1--(E6)", 67}, {"2--(A5)", 60},
                                     {"3--(D5)", 53}, {"4--(G4)", 46}};
constexpr PositionEntry kViola[] = {{"1--(A4)", 48}, {"2--(D4)", 41}, {"3--(G3)", 34},
                                    {"4--(C3)", 27}, {"1--(A5)", 60}, {"2--(D5)", 53},
                                    {"3--(G4)", 46}, {"4--(C4)", 39}};
constexpr PositionEntry kMandolin[] = {
    {"1--(E5)", 55}, {"2--(A4)", 48}, {"3--(D4)", 41}, {"4--(G3)", 34}};

constexpr std::string_view kHuqin = "Huqin(胡琴)";
constexpr std::string_view kGuzheng = "Guzheng(古筝)";
constexpr std::string_view kGuqin = "Guqin(古琴)";
constexpr std::string_view kYangqin = "Yangqin(揚琴)";
constexpr std::string_view kYuan = "Yuan(阮)";
constexpr std::string_view kSanxian = "Sanxian(三弦)";
constexpr std::string_view kTopLevel = {};

} // namespace

const std::array<InstrumentRecord, kInstrumentCount> InstrumentTable = {{
    {kHuqin, "Erhu(二胡)", kErhu},
    {kHuqin, "Zhonghu(中胡)", kZhonghu},
    {kHuqin, "Gaohu(高胡)", kGaohu},
    {kTopLevel, "Pipa(琵琶)", kPipa},
    {kGuzheng, "1=D", kGuzhengD},
    {kGuzheng, "1=G", kGuzhengG},
    {kGuzheng, "1=C", kGuzhengC},
    {kGuzheng, "1=A", kGuzhengA},
    {kGuqin, "1=F", kGuqinF},
    {kYangqin, "左高半音碼", kYangqinLeftHighSemitone},
    {kYangqin, "左碼", kYangqinLeft},
    {kYangqin, "中碼", kYangqinMiddle},
    {kYangqin, "右碼", kYangqinRight},
    {kYangqin, "右低音碼", kYangqinRightBass},
    {kYangqin, "右半低音碼", kYangqinRightHalfBass},
    {kYuan, "Xiaoyuan(小阮)", kXiaoyuan},
    {kYuan, "Zhongyuan(中阮)", kZhongyuan},
    {kYuan, "Dayuan(大阮)", kDayuan},
    {kTopLevel, "Liuqin(柳琴)", kLiuqin},
    {kTopLevel, "Yueqin(月琴)", kYueqin},
    {kSanxian, "大三弦(G2-D3-G3)", kDaSanxian},
    {kSanxian, "小三弦(D3-A3-D4)", kXiaoSanxian},
    {kTopLevel, "Guitar", kGuitar},
    {kTopLevel, "Ukulele", kUkulele},
    {kTopLevel, "Violin", kViolin},
    {kTopLevel, "Viola", kViola},
    {kTopLevel, "Mandolin", kMandolin},
}};
