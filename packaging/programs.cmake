# What differs between the four launchers: one call per program. Everything else (file names,
# ids, the shared description paragraph, the manual's keys and exit statuses) comes from the
# templates beside this file.
#
# SCREENSHOT_KEYS is typed at a fixed clock to draw the picture the software centres show:
# practice from problem 1 with one wrong answer, so the cross and the first worked step appear.

drills_desktop_program(halvard
  NAME "Halvard"
  NAME_JA "Halvard 一次方程式"
  LETTER H
  COLOUR "#2f6fd6"
  GENERIC "Linear equations drill"
  GENERIC_JA "一次方程式の練習"
  SUMMARY "Practise solving linear equations in x"
  SUMMARY_JA "一次方程式の解き方を練習する"
  DESCRIPTION "Halvard draws linear equations in x with random numbers: x on one side or on both sides, parentheses, decimal and fraction coefficients, 13 kinds of problem in all."
  DESCRIPTION_JA "xについての一次方程式を、数を変えながら出題します。xが片方の辺にある式、両辺にある式、かっこのある式、係数が小数や分数の式など、13種類の問題があります。"
  KEYWORDS "equation;linear equation;algebra;mathematics;drill;"
  KEYWORDS_JA "方程式;一次方程式;移項;数学;中学;練習;"
  SCREENSHOT_KEYS "11{Enter}x=0{Enter}")

drills_desktop_program(morvane
  NAME "Morvane"
  NAME_JA "Morvane 方程式とその解"
  LETTER M
  COLOUR "#2e9d5b"
  GENERIC "Equations and solutions drill"
  GENERIC_JA "方程式とその解の練習"
  SUMMARY "Practise what an equation and its solution are"
  SUMMARY_JA "方程式とその解の意味を練習する"
  DESCRIPTION "Morvane asks which equation a value solves and which value solves an equation, checked by substitution, and then one-step equations solved with the properties of equality, 10 kinds of problem in all."
  DESCRIPTION_JA "どの値が方程式の解になるかを代入して確かめる問題と、等式の性質を使って方程式を解く問題を出題します。10種類の問題があります。"
  KEYWORDS "equation;solution;substitution;mathematics;drill;"
  KEYWORDS_JA "方程式;解;代入;等式の性質;数学;中学;練習;"
  SCREENSHOT_KEYS "11{Enter}x=0{Enter}")

drills_desktop_program(quillon
  NAME "Quillon"
  NAME_JA "Quillon 比と比例式"
  LETTER Q
  COLOUR "#e07b1a"
  GENERIC "Ratios and proportions drill"
  GENERIC_JA "比と比例式の練習"
  SUMMARY "Practise ratios and proportion equations"
  SUMMARY_JA "比と比例式を練習する"
  DESCRIPTION "Quillon works with the ratios of the sides of rectangles and with ratio values, and solves proportion equations by the ratio value or by the product of the outer and inner terms, 9 kinds of problem in all."
  DESCRIPTION_JA "長方形の辺の比や比の値を求める問題と、比の値や比例式の性質を使って比例式を解く問題を出題します。9種類の問題があります。"
  KEYWORDS "ratio;proportion;mathematics;drill;"
  KEYWORDS_JA "比;比の値;比例式;数学;中学;練習;"
  SCREENSHOT_KEYS "11{Enter}x=0{Enter}")

drills_desktop_program(brenwick
  NAME "Brenwick"
  NAME_JA "Brenwick 方程式の文章題"
  LETTER B
  COLOUR "#7a4cc2"
  GENERIC "Word problems drill"
  GENERIC_JA "方程式の文章題の練習"
  SUMMARY "Practise setting up and solving equations for word problems"
  SUMMARY_JA "文章題から方程式をつくって解く練習をする"
  DESCRIPTION "Brenwick turns word problems into equations and solves them: prices, sharing money, sharing sweets, a chase by bicycle with a distance table and mixing a dressing, 5 problems in all."
  DESCRIPTION_JA "代金、お金の分け方、お菓子の分け方、自転車で追いかける問題（道のりの表つき）、ドレッシングの混ぜ方の5題の文章題から、方程式をつくって解きます。"
  KEYWORDS "equation;word problem;mathematics;drill;"
  KEYWORDS_JA "方程式;文章題;方程式の利用;数学;中学;練習;"
  SCREENSHOT_KEYS "11{Enter}x=0{Enter}")
