-- Sample database: a small office-supplies trading company.
-- Names are ASCII so unquoted SELECTs work; many values are Japanese.
-- Codes with leading zeros are TEXT on purpose: '007' must not become 7.
-- Dates are TEXT 'YYYY-MM-DD', timestamps TEXT 'YYYY-MM-DD HH:MM:SS'.

PRAGMA foreign_keys = ON;

CREATE TABLE departments (
    dept_id     INTEGER PRIMARY KEY,
    dept_code   TEXT NOT NULL UNIQUE,
    name        TEXT NOT NULL,
    name_en     TEXT,
    parent_id   INTEGER REFERENCES departments (dept_id),
    budget      DECIMAL(12, 2),
    established TEXT
);

CREATE TABLE employees (
    emp_id      INTEGER PRIMARY KEY,
    emp_no      TEXT NOT NULL UNIQUE,
    family_name TEXT NOT NULL,
    given_name  TEXT NOT NULL,
    family_kana TEXT,
    given_kana  TEXT,
    email       TEXT,
    dept_id     INTEGER REFERENCES departments (dept_id),
    manager_id  INTEGER REFERENCES employees (emp_id),
    hire_date   TEXT NOT NULL,
    birth_date  TEXT,
    salary      INTEGER,
    is_active   INTEGER NOT NULL DEFAULT 1,
    note        TEXT
);

CREATE TABLE customers (
    customer_id   INTEGER PRIMARY KEY,
    customer_code TEXT NOT NULL UNIQUE,
    name          TEXT NOT NULL,
    name_kana     TEXT,
    prefecture    TEXT,
    city          TEXT,
    phone         TEXT,
    credit_limit  DECIMAL(12, 2),
    registered_at TEXT NOT NULL
);

CREATE TABLE products (
    product_code TEXT PRIMARY KEY,
    name         TEXT NOT NULL,
    name_en      TEXT,
    category     TEXT NOT NULL,
    unit_price   DECIMAL(10, 2) NOT NULL,
    cost         REAL,
    weight_kg    REAL,
    stock        INTEGER NOT NULL DEFAULT 0,
    discontinued INTEGER NOT NULL DEFAULT 0,
    released_on  TEXT
);

CREATE TABLE orders (
    order_id     INTEGER PRIMARY KEY,
    order_no     TEXT NOT NULL UNIQUE,
    customer_id  INTEGER NOT NULL REFERENCES customers (customer_id),
    emp_id       INTEGER REFERENCES employees (emp_id),
    order_date   TEXT NOT NULL,
    created_at   TEXT NOT NULL,
    shipped_at   TEXT,
    status       TEXT NOT NULL,
    total_amount DECIMAL(12, 2),
    tax_amount   DECIMAL(12, 2),
    note         TEXT
);

CREATE TABLE order_items (
    order_id      INTEGER NOT NULL REFERENCES orders (order_id) ON DELETE CASCADE,
    line_no       INTEGER NOT NULL,
    product_code  TEXT NOT NULL REFERENCES products (product_code),
    quantity      INTEGER NOT NULL,
    unit_price    DECIMAL(10, 2) NOT NULL,
    discount_rate REAL,
    PRIMARY KEY (order_id, line_no)
);

CREATE INDEX orders_by_date ON orders (order_date);
CREATE INDEX orders_by_customer ON orders (customer_id);
CREATE INDEX order_items_by_product ON order_items (product_code);

CREATE VIEW monthly_sales AS
SELECT substr(order_date, 1, 7) AS month,
       count(*) AS order_count,
       sum(total_amount) AS amount
FROM orders
WHERE status <> 'キャンセル'
GROUP BY substr(order_date, 1, 7);

CREATE VIEW employee_directory AS
SELECT e.emp_no,
       e.family_name || ' ' || e.given_name AS full_name,
       d.name AS department,
       e.email
FROM employees e
LEFT JOIN departments d ON d.dept_id = e.dept_id
WHERE e.is_active = 1;
