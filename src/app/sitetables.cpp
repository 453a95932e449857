#include "app/sitetables.h"

#include "tabs/sites.h"

namespace SiteTables {

const QVector<Item> &searchWord()
{
    static const QVector<Item> items = {
        {"SearchFanyi", "【翻译】英汉翻译", "http://www.iciba.com/", true, false},
        {"SearchBaidu", "【搜索】百度", "http://www.baidu.com/s?wd=", true, true},
        {"Search360", "【搜索】360综合搜索", "http://www.so.com/s?ie=utf-8&shb=1&src=360sou_newhome&q=", true, false},
        {"SearchSouGou", "【搜索】搜狗", "http://www.sogou.com/web?query=", true, false},
        {"SearchBaiduImage", "【图片】百度", "http://image.baidu.com/i?tn=baiduimage&ct=201326592&lm=-1&cl=2&word=", true, true},
        {"Search360Image", "【图片】360搜索", "http://image.so.com/i?q=", true, false},
        {"SearchSougouImage", "【图片】搜狗", "http://pic.sogou.com/pics?p=40230504&query=", true, false},
        {"SearchBaiduMusic", "【音乐】百度音乐", "http://music.91q.com/search?key=", true, true},
        {"Search360Music", "【音乐】360音乐", "http://s.music.so.com/s?q=", true, false},
        {"SearchSouMusic", "【音乐】搜狗音乐", "http://mp3.sogou.com/music.so?query=", true, false},
        {"SearchXunlei", "【电影】百度视频", "http://v.baidu.com/v?word=", true, true},
        {"SearchVeryCD", "【电影】VeryCD", "http://www.verycd.com/search/folders/", true, false},
        {"SearchFeiKe", "【电影】迅雷电影", "http://search.kankan.com/search.php?keyword=", true, false},
        {"SearchTaoBao", "【购物】淘宝网站", "http://s.taobao.com/search?q=", true, true},
        {"SearchJinDong", "【购物】京东商城", "http://search.jd.com/Search?keyword=", true, false},
        {"SearchDangDang", "【购物】当当网", "http://search.dangdang.com/search.php?key=", true, false},
        {"SearchDuoTe", "【软件】多特软件站", "http://www.duote.com/", false, true},
        {"SearchFeiFan", "【软件】非凡软件站", "http://www.crsky.com/?=", true, false},
        {"SearchHuaJun", "【软件】华军软件站", "http://search.newhua.com/search_list.php?searchsid=1&searchname=", true, false},
    };
    return items;
}

const QVector<Item> &netSearch()
{
    static const QByteArray marked = Sites::kMarkedStartPage.toLatin1();
    static const QVector<Item> items = {
        {"SearchChina", "中国网站排名", "http://www.2345.com/top/", false, false},
        {"SearchGong", "中国行业网站", "http://www.hc360.com/", false, false},
        {"SearchCollage", "中国大学排名", "http://learning.sohu.com/20141229/n407392051.shtml", false, false},
        {"SearchCollageWorld", "世界大学排名", "http://www.shanghairanking.cn/ranking/", false, false},
        {"SearchBaidu2", "百度", "https://www.baidu.com/", false, true},
        {"Search360SH", "360 搜索", "http://www.so.com/", false, false},
        {"SearchSouGouSH", "搜狗", "http://www.sogou.com/", false, false},
        {"SearchTools", "网络实用工具", "http://tools.2345.com/", false, true},
        {"SearchQuan", "搜索引擎大全", "http://www.hao123.com/search.htm", false, false},
        {"SearchWai", "国外搜索引擎", "http://www.hao123.com/world/557.htm", false, false},
        {"Search2345", "2345网站导航", marked.constData(), false, true},
        {"Search114", "114啦网站导航", "http://www.114la.com/", false, false},
        {"Search265", "265 网站导航", "http://www.265.com/", false, false},
        {"SearchHongKong", "香港网址导航", "http://hk.hao123.com/", false, true},
        {"SearchYaHoo", "雅虎台湾搜索", "http://tw.search.yahoo.com/", false, false},
        {"SearchTaiWan", "台湾常用网址", "http://tw.hao123.com/", false, false},
        {"SearchFuBuSi", "福布斯财富排行榜", "http://www.forbeschina.com/list/", false, true},
        {"SearchHuRun", "胡润百富排行榜", "http://www.hurun.net/CN/HuList.aspx", false, false},
        {"SearchCaiFu", "财富世界500强", "http://www.fortunechina.com/rankings/", false, false},
    };
    return items;
}

const QVector<Item> &music()
{
    static const QVector<Item> items = {
        {"Xunlei", "迅雷看看", "http://www.kankan.com/", false, false},
        {"MusicSouhu", "搜狐视频", "http://tv.sohu.com/", false, false},
        {"MusicAiQiYi", "爱奇艺", "http://www.iqiyi.com/", false, false},
        {"Music2345", "影视大全", "http://v.2345.com/", false, false},
        {"Music360", "360 影视", "http://www.360kan.com/", false, false},
        {"MusicYouku", "优酷视频", "http://www.youku.com/", false, false},
        {"MusicHaoAi", "好爱收音机", "http://www.radio.cn/", false, true},
        {"MusicQingTing", "蜻蜓在线", "http://www.qingting.fm/", false, false},
        {"MusicDouBan", "豆瓣FM", "http://fm.douban.com/", false, false},
        {"MusicHuaiJiu", "怀旧金曲频道", "http://www.cri.cn/radio/", false, false},
        {"MusicDuShi", "都市流行频道", "http://www.cri.cn/radio/playerpop.htm", false, false},
        {"MusicXiangCun", "乡村音乐频道", "http://www.cri.cn/radio/playercountry.htm", false, false},
        {"FoJiao", "佛教在线音乐", "http://www.fjdh.cn/", false, true},
        {"FoJiaoKu", "佛教歌曲大全", "http://www.9ku.com/geshou/6901.htm", false, false},
        {"JiDuJiao", "基督教歌曲", "http://www.9ku.com/fuyin/zanmeishi.htm", false, false},
        {"TianZhuJiao", "天主教歌曲", "http://www.9ku.com/geshou/48378.htm", false, false},
        {"Music2345Yin", "综合音乐", "http://www.2345.com/music.htm", false, true},
        {"MusicBaidu", "百度音乐", "http://fm.baidu.com/", false, false},
        {"MusicQingMeng", "青檬音乐", "http://www.qingmeng.com/", false, false},
    };
    return items;
}

QString siteSearchAddress(const QString &prefix, const QString &word)
{
    if (!word.isEmpty())
        return prefix + Sites::searchTerm(word);
    // The root of the prefix's host: drop "http://", cut at the first "/".
    const QString rest = prefix.mid(7);
    const int slash = rest.indexOf(QLatin1Char('/'));
    return QStringLiteral("http://") + (slash < 0 ? rest : rest.left(slash));
}

} // namespace SiteTables
