import { test } from 'node:test'
import assert from 'node:assert/strict'
import { parseInfo, parseBestmove, parseOption, whiteScore, formatScore, whiteWdl } from '../../src/uci.js'

test('info lines in any order, with bounds, WDL and the line last', () => {
  const info = parseInfo('info multipv 2 score cp -52 lowerbound wdl 120 500 380 depth 12 seldepth 18 nodes 191 nps 1329130 pv c2c4 b7b5')
  assert.deepEqual(info, { multipv: 2, score: { cp: -52, bound: 'lowerbound' }, wdl: [120, 500, 380], depth: 12,
    seldepth: 18, nodes: 191, nps: 1329130, pv: ['c2c4', 'b7b5'] })
  assert.deepEqual(parseInfo('info depth 0 score mate 0'), { depth: 0, score: { mate: 0 } })
  assert.deepEqual(parseInfo('info string pv is a word here'), { string: 'pv is a word here' })
  assert.deepEqual(parseInfo('info depth x score cp pv'), { pv: [] })
  assert.equal(parseInfo('bestmove e2e4'), null)
})

test('bestmove with and without ponder, and the null move', () => {
  assert.deepEqual(parseBestmove('bestmove e2e4 ponder e7e5'), { move: 'e2e4', ponder: 'e7e5' })
  assert.deepEqual(parseBestmove('bestmove 0000'), { move: '0000', ponder: null })
  assert.deepEqual(parseBestmove('bestmove'), { move: '', ponder: null })
})

test('options: names with spaces, buttons, string defaults, spins', () => {
  assert.deepEqual(parseOption('option name Clear Hash type button'), { name: 'Clear Hash', type: 'button', vars: [] })
  assert.deepEqual(parseOption('option name move overhead milliseconds type spin default 10 min 0 max 50000'),
    { name: 'move overhead milliseconds', type: 'spin', default: '10', min: 0, max: 50000, vars: [] })
  assert.equal(parseOption('option name SyzygyPath type string default <empty>').default, '<empty>')
  assert.deepEqual(parseOption('option name Style type combo default Normal var Solid var Normal').vars, ['Solid', 'Normal'])
  assert.equal(parseOption('option name Broken'), null)
})

test("scores and WDL turn to White's side when Black is to move", () => {
  assert.deepEqual(whiteScore({ cp: 35 }, 'b'), { cp: -35, bound: undefined })
  assert.deepEqual(whiteScore({ cp: 35, bound: 'lowerbound' }, 'b'), { cp: -35, bound: 'upperbound' })
  assert.deepEqual(whiteScore({ mate: -3 }, 'b'), { mate: 3, bound: undefined })
  assert.equal(formatScore({ cp: 35 }), '+0.35')
  assert.equal(formatScore({ cp: -120, bound: 'upperbound' }), '≤−1.20')
  assert.equal(formatScore({ cp: 0 }), '0.00')
  assert.equal(formatScore({ mate: -2 }), '−#2')
  assert.deepEqual(whiteWdl([600, 300, 100], 'b'), [100, 300, 600])
  assert.deepEqual(whiteWdl([600, 300, 100], 'w'), [600, 300, 100])
})
