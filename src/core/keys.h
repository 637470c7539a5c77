#pragma once

#include <QStringView>

// Every section and key of the two data files, in one place.
namespace keys {

// config.a, section "zbt"
inline constexpr QStringView kZbt = u"zbt";
inline constexpr QStringView kMainTitle = u"主标题";
inline constexpr QStringView kSubTitle = u"副标题";
inline constexpr QStringView kMainTitleLeft = u"主标题左边";
inline constexpr QStringView kMainTitleTop = u"主标题顶边";
inline constexpr QStringView kSubTitleLeft = u"副标题左边";
inline constexpr QStringView kSubTitleTop = u"副标题顶边";
inline constexpr QStringView kWheelLeft = u"外形框1左边";
inline constexpr QStringView kWheelTop = u"外形框1顶边";
inline constexpr QStringView kResultLeft = u"中奖图片左边";
inline constexpr QStringView kResultTop = u"中奖图片顶边";
inline constexpr QStringView kResultWidth = u"奖品图片宽";
inline constexpr QStringView kResultHeight = u"奖品图片高";
inline constexpr QStringView kRollSpeed = u"滚动速度";
inline constexpr QStringView kEffectsDisabled = u"禁用特效";
inline constexpr QStringView kAutoStop = u"自动停止";
inline constexpr QStringView kWheelSize = u"计次";
inline constexpr QStringView kWindowMode = u"界面大小";
inline constexpr QStringView kMusic = u"背景音乐";
inline constexpr QStringView kStyle = u"样式";
// The screen the main window shows on: the system's name for it and its
// top-left corner, "name@x,y" (a name alone reads too); absent means the
// primary screen.
inline constexpr QStringView kScreen = u"屏幕";
inline constexpr QStringView kDrawMode = u"lx";
// "真" turns the public draw on; read at start-up, written by the menu.
inline constexpr QStringView kPublicDraw = u"公开抽奖";
inline constexpr QStringView kPassword = u"password";
// The prize value of slot N is kPrizeValue[N - 1].
inline constexpr QStringView kPrizeValue[8] = {u"一", u"二", u"三", u"四",
                                               u"五", u"六", u"七", u"八"};

// config.a, section "yanse"
inline constexpr QStringView kYanse = u"yanse";
inline constexpr QStringView kMainTitleFont = u"主标题字体";
inline constexpr QStringView kMainTitleFontSize = u"主标题字体大小";
inline constexpr QStringView kMainTitleFontColour = u"主标题字体颜色";
inline constexpr QStringView kSubTitleFont = u"副标题字体";
inline constexpr QStringView kSubTitleFontSize = u"副标题字体大小";
inline constexpr QStringView kSubTitleFontColour = u"副标题字体颜色";

// jieguo.a, section "zjjg": the win count of slot N is kWins[N - 1].
inline constexpr QStringView kZjjg = u"zjjg";
inline constexpr QStringView kWins[8] = {u"j1", u"j2", u"j3", u"j4",
                                         u"j5", u"j6", u"j7", u"j8"};

// Enumerated values
inline constexpr QStringView kFullScreen = u"全屏";
inline constexpr QStringView kWindowed = u"窗口";
inline constexpr QStringView kStyleValue[4] = {u"zp1", u"zp2", u"zp3", u"zp4"};

// Prompt defaults of the title editors
inline constexpr QStringView kMainTitlePrompt = u"购物有奖活动";
inline constexpr QStringView kSubTitlePrompt = u"---现场抽奖仪式---";

} // namespace keys
