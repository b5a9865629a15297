// A practice record as the page keeps it ('varnel.record'), for the tests of
// its view: rows of one morning, the pupils taking turns, both programs, every
// fourth row left unfinished (中断), the typed answers as long as a few
// attempts make them.
export const COLUMNS = ['日時', '組', '番号', '名前', 'プログラム', '練習', '問題', '内容', '1回目', '結果', '回数',
                        'ヒント', '入力', '正答', '符号の誤り', '自己採点', '秒'];
const TOPICS = {
  varnel1: ['正負の数の用語', '温度', '0より大きい数・小さい数', '自然数と整数', '数直線の読み（整数）',
            '数直線の読み（0.5きざみ）', '数直線に表す', '反対の性質をもつ量', '基準との差から体重', '基準との差',
            '反対のことばで言いかえる'],
  varnel2: ['絶対値（整数）', '絶対値（小数・分数）', '絶対値が等しい数', '絶対値がある数以下の整数', '数の大小（整数）',
            '数の大小（小数・分数）', '2より大きい数・小さい数', '－2より大きい数・小さい数', '負の数だけ大きい数（2から）',
            '負の数だけ大きい数（－2から）'],
};

// n rows on day ("2026-12-10"); pupils: [組, 番号, 名前] each.
export function sampleRecord(n, pupils, day) {
  const rows = Array.from({ length: n }, (_, i) => {
    const program = i % 3 ? 'varnel1' : 'varnel2';
    const problem = (i * 7) % TOPICS[program].length + 1;
    const time = `${day} ${String(8 + Math.floor(i / 30)).padStart(2, '0')}:${String(i % 30 * 2).padStart(2, '0')}:05`;
    return [time, ...pupils[i % pupils.length], program, String(1 + Math.floor(i / 6)), String(problem),
            TOPICS[program][problem - 1], i % 5 ? '○' : '×', ['正解', '不正解', '中断', '正解'][i % 4], String(1 + i % 3),
            String(i % 3), '-3，+5 / 3，5 / -3，+5', '-3，+5', i % 4 === 1 ? '✓' : '', '', String(20 + i)];
  });
  return { columns: COLUMNS, rows };
}
