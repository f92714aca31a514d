// SPDX-License-Identifier: GPL-3.0-or-later
#include "text_generator.h"

#include "common/cp1252.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace solandre::bench {
namespace {

std::vector<std::string> words()
{
    const char* utf8[] = {
        "casa", "canto", "cantaba", "mente", "claramente", "niño", "corazón", "árbol", "él",
        "ésta", "pequeña", "camión", "después", "según", "también", "aquí", "había", "señor",
        "mañana", "agua", "l'eau", "peut-être", "rápidamente", "caminar", "ciudad", "noche",
        "tiempo", "mundo", "vida", "hombre", "mujer", "palabra", "libro", "río", "país", "José",
        "Sr", "Dña", "Quillarne", "María", "Ávila", "Œuvre", "fácil", "qué", "cómo", "año",
        "de", "la", "que", "el", "en", "y", "a", "los", "se", "del", "las", "un", "por", "con",
    };
    std::vector<std::string> list;
    for (const char* w : utf8) list.push_back(toCp1252(QString::fromUtf8(w)));
    return list;
}

} // namespace

std::string generateText(size_t bytes, unsigned seed)
{
    static const std::vector<std::string> vocabulary = words();
    const std::string open[] = {"", "", "", "\xBF", "\xA1", "\""};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };

    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        const std::string& opening = open[pick(6)];
        text += opening;
        const size_t length = 4 + pick(18);
        for (size_t w = 0; w < length; ++w) {
            std::string word = vocabulary[pick(vocabulary.size())];
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = char(word[0] - 32);
            text += word;
            if (w + 1 < length) text += pick(12) == 0 ? ", " : (pick(40) == 0 ? "\r\n" : " ");
            if (pick(60) == 0) text += std::to_string(pick(2030)) + " ";
        }
        text += opening == "\xBF" ? "?" : opening == "\xA1" ? "!" : (pick(30) == 0 ? "..." : ".");
        text += pick(8) == 0 ? "\r\n\r\n" : " ";
    }
    return text;
}

std::string generateRichText(size_t bytes, size_t forms, unsigned seed)
{
    const std::string syllables[] = {"ca", "sa", "me", "te", "ri", "o", "lu", "na", "ción",
                                     "pe", "dro", "mar", "é", "ña", "bl", "an", "co", "es"};
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    std::vector<std::string> vocabulary;
    for (size_t f = 0; f < forms; ++f) {
        std::string word;
        for (size_t s = 1 + pick(4); s > 0; --s) word += syllables[pick(std::size(syllables))];
        vocabulary.push_back(toCp1252(QString::fromUtf8(word)));
    }
    // Zipf-like: rank r drawn with weight 1/r, by inverting the harmonic sum.
    std::uniform_real_distribution<double> uniform(0.0, std::log(double(forms)));
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        const size_t length = 4 + pick(18);
        for (size_t w = 0; w < length; ++w) {
            std::string word = vocabulary[std::min(forms - 1, size_t(std::exp(uniform(random))) - 1)];
            if (w == 0 && word[0] >= 'a' && word[0] <= 'z') word[0] = char(word[0] - 32);
            text += word;
            if (w + 1 < length) text += pick(12) == 0 ? ", " : " ";
        }
        text += pick(10) == 0 ? "?\r\n" : ". ";
    }
    return text;
}

} // namespace solandre::bench

#include <fstream>
#include <sstream>

namespace solandre::bench {

std::string generateManyFormsText(size_t bytes, unsigned seed)
{
    const char letters[] = "abcdefghijklmnopqrstuvwxyz\xE1\xE9\xED\xF3\xFA\xF1";
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        for (size_t w = 4 + pick(14); w > 0; --w) {
            for (size_t k = 4 + pick(7); k > 0; --k) text += letters[pick(sizeof letters - 1)];
            text += ' ';
        }
        text.back() = '.';
        text += "\r\n";
    }
    return text;
}

std::string generateChineseText(size_t bytes, unsigned seed)
{
    static const char* const kWords[] = {
        "我们", "中国", "人民", "今天", "天气", "非常", "好", "他", "她", "是", "的", "了", "在", "有",
        "一个", "这个", "那个", "我", "你", "学生", "老师", "学校", "大学", "北京", "上海", "城市", "国家",
        "政府", "经济", "发展", "社会", "文化", "历史", "问题", "时间", "工作", "生活", "朋友", "家庭",
        "孩子", "父母", "喜欢", "觉得", "知道", "认为", "可以", "需要", "应该", "已经", "还是", "因为",
        "所以", "但是", "如果", "虽然", "而且", "或者", "然后", "现在", "以后", "以前", "今年", "明年",
        "去年", "世界", "地方", "东西", "事情", "电话", "电脑", "手机", "网络", "公司", "市场", "价格",
        "银行", "医院", "医生", "病人", "身体", "健康", "饭店", "吃饭", "喝茶", "咖啡", "米饭", "面条",
        "水果", "苹果", "书", "看书", "写字", "汉字", "语言", "中文", "英文", "翻译", "研究", "科学",
        "技术", "教育", "作家", "小说", "故事", "电影", "音乐", "艺术", "美丽", "漂亮", "高兴", "快乐",
        "重要", "容易", "困难", "简单", "复杂", "开始", "结束", "继续", "停止", "回家", "出门", "旅行",
        "飞机", "火车", "汽车", "自行车", "道路", "河流", "山", "海", "天空", "太阳", "月亮", "星星",
        "春天", "夏天", "秋天", "冬天", "早上", "晚上", "中午", "一起", "一些", "很多", "特别", "总是",
        "常常", "有时候", "从来", "马上", "立刻", "终于", "突然", "慢慢", "安静", "热闹", "干净", "新",
        "旧", "大", "小", "长", "短", "高", "低", "快", "慢", "说", "看", "听", "想", "走", "跑", "来",
        "去", "买", "卖", "给", "让", "叫", "用", "做", "成为", "关系", "方面", "方法", "情况", "条件",
        "环境", "保护", "建设", "改革", "开放", "人口", "农村", "农民", "工人", "企业", "产品", "质量",
        "服务", "管理", "领导", "会议", "决定", "计划", "目标", "结果", "原因", "影响", "作用", "意义",
        "精神", "思想", "理论", "实践", "经验", "能力", "水平", "标准", "制度", "法律", "权利", "责任",
        "安全", "和平", "战争", "军队", "图书馆", "博物馆", "火车站", "机场", "街道", "房子", "窗户",
        "桌子", "椅子", "衣服", "颜色", "红色", "白色", "黑色", "东方", "西方", "南方", "北方", "左边",
        "右边", "里面", "外面", "上面", "下面", "中间", "旁边", "对面", "附近", "周围", "自己", "大家",
        "别人", "什么", "怎么", "为什么", "哪里", "谁", "多少", "几", "这样", "那样", "一定", "可能",
    };
    std::vector<double> cumulative;
    double total = 0;
    for (size_t k = 0; k < std::size(kWords); ++k) cumulative.push_back(total += 1.0 / double(k + 1));
    std::mt19937 random(seed);
    auto pick = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    auto word = [&] {
        const double r = std::uniform_real_distribution<double>(0, total)(random);
        return kWords[std::lower_bound(cumulative.begin(), cumulative.end(), r) - cumulative.begin()];
    };
    std::string text;
    text.reserve(bytes + 256);
    while (text.size() < bytes) {
        for (size_t clause = 1 + pick(4); clause > 0; --clause) {
            for (size_t w = 2 + pick(9); w > 0; --w) text += word();
            if (clause > 1) text += "，";
        }
        const size_t end = pick(20);
        text += end == 0 ? "？" : end == 1 ? "！" : "。";
        if (pick(6) == 0) text += "\r\n";
    }
    return text;
}

} // namespace solandre::bench
