// The page's views of the guess and of the comparison: the objects of
// iso8583dump --guess --json and --diff --json as tables for people, and
// as the JSON itself, to copy.

// A table with the headings `titles` and a row of cells for each of
// `rows`, into `box`.
function fillTable(box, titles, rows) {
  const table = document.createElement('table');
  const head = table.createTHead().insertRow();
  for (const title of titles) {
    const th = document.createElement('th');
    th.textContent = title;
    head.append(th);
  }
  const body = table.createTBody();
  for (const cells of rows) {
    const row = body.insertRow();
    for (const text of cells) row.insertCell().textContent = text ?? '';
  }
  box.replaceChildren(table);
}

// Shows the guess `ranking`, best reading first, with the options of
// iso8583dump that decode as it does.
function showGuess(ranking) {
  document.getElementById('guess-choice').textContent = ranking.complete
    ? `读作首行即可完整解包 · the first reading unpacks completely: iso8583dump ${ranking.options}`
    : '没有方言能完整解包 · no dialect reads the message completely';
  fillTable(document.getElementById('guess-table'),
    ['方言 Dialect', '帧 Framing', '完整 Complete', '域 Fields', '通过 Passed', '失败 Failed'],
    ranking.readings.map((reading) => [reading.dialect, reading.framing,
      `${reading.complete} / ${reading.messages}`, reading.fields, reading.passed, reading.failed]));
  document.getElementById('guess-json').textContent = JSON.stringify(ranking, null, 2);
}

// The value of a side of a difference, as the table shows it.
function sideText(value) {
  if (value === undefined) return '';
  if (typeof value === 'string') return value;
  return value.text ?? value.value ?? value.hex ?? '';
}

// Shows the comparison `result`, or clears the view when it is null.
function showDiff(result) {
  const status = document.getElementById('compare-status');
  if (result === null) {
    status.textContent = '';
    document.getElementById('diff-table').replaceChildren();
    document.getElementById('diff-json').textContent = '';
    return;
  }
  status.textContent = result.equal ? '两个报文相同 · the messages are equal'
    : `${result.differences.length} 处不同 · places differ`;
  fillTable(document.getElementById('diff-table'), ['位置 Place', '变化 Change', 'A', 'B'],
    result.differences.map((difference) => [difference.place, difference.change,
      difference.inner ? '' : sideText(difference.a), difference.inner ? '' : sideText(difference.b)]));
  document.getElementById('diff-json').textContent = JSON.stringify(result, null, 2);
}
