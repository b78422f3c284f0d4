-- Two years of orders, generated so the file stays small and the data is the
-- same on every build: "random" choices are fixed arithmetic on the row number.

BEGIN;

-- 1,200 orders spread over 2023-2024, placed by the sales staff.
WITH RECURSIVE
    seq(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM seq WHERE n < 1200),
    reps(idx, emp_id) AS (VALUES (0, 3), (1, 4), (2, 5), (3, 6), (4, 7), (5, 8), (6, 9), (7, 10), (8, 20)),
    base AS (
        SELECT n,
               date('2023-01-04', '+' || ((n - 1) * 727 / 1199) || ' days') AS order_date,
               CASE
                   WHEN n % 23 = 0 THEN 'キャンセル'
                   WHEN n > 1170 THEN '受注'
                   WHEN n % 17 = 0 THEN '保留'
                   ELSE '出荷済'
               END AS status
        FROM seq
    )
INSERT INTO orders (order_id, order_no, customer_id, emp_id, order_date, created_at, shipped_at,
                    status, note)
SELECT n,
       printf('SO-%s-%05d', substr(order_date, 1, 4), n),
       1 + (n * 7 + n / 13) % 20,
       -- every 50th order came in through the web shop: nobody took it
       CASE WHEN n % 50 = 0 THEN NULL ELSE reps.emp_id END,
       order_date,
       order_date || printf(' %02d:%02d:%02d', 8 + (n * 7) % 11, (n * 37) % 60, (n * 53) % 60),
       CASE WHEN status = '出荷済'
            THEN datetime(order_date, '+' || (1 + n % 4) || ' days',
                          '+' || (9 + n % 8) || ' hours', '+' || (n * 17 % 60) || ' minutes')
       END,
       status,
       CASE
           WHEN n % 40 = 0 THEN '至急対応'
           WHEN n % 97 = 0 THEN 'Gift wrapping requested'
           WHEN n % 113 = 0 THEN '納品書を2部同封'
       END
FROM base
JOIN reps ON reps.idx = base.n % 9
ORDER BY n;

-- One to four lines per order, at the catalogue price.
WITH RECURSIVE
    line(no) AS (SELECT 1 UNION ALL SELECT no + 1 FROM line WHERE no < 4),
    items AS (
        SELECT o.order_id,
               line.no AS line_no,
               printf('%03d', 1 + (o.order_id * 7 + line.no * 11) % 29) AS product_code,
               1 + (o.order_id * line.no * 13) % 20 AS quantity
        FROM orders o
        JOIN line ON line.no <= 1 + (o.order_id * 3) % 4
    )
INSERT INTO order_items (order_id, line_no, product_code, quantity, unit_price, discount_rate)
SELECT i.order_id,
       i.line_no,
       i.product_code,
       i.quantity,
       p.unit_price,
       CASE
           WHEN i.quantity >= 15 THEN 0.05
           WHEN i.order_id % 29 = 0 THEN 0.1
       END
FROM items i
JOIN products p ON p.product_code = i.product_code
ORDER BY i.order_id, i.line_no;

UPDATE orders
SET total_amount = (SELECT round(sum(i.quantity * i.unit_price * (1 - coalesce(i.discount_rate, 0))), 2)
                    FROM order_items i
                    WHERE i.order_id = orders.order_id);
UPDATE orders SET tax_amount = round(total_amount * 0.10, 0);

COMMIT;
